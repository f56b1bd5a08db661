// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/datetime.h"

#include <QString>
#include <array>

// A reminder whose day passed while the program was not running.
struct ForgottenEntry {
    qint16 isForgotten = 0;
    QString noteCopy;
    QString dateText;
    QString timeText;
};

// Filled once at start, kept in memory for the whole run.
struct ForgottenBox {
    std::array<ForgottenEntry, 12> entries{};
    int count = 0;
    ForgottenEntry& entry(int k) { return entries.at(std::size_t(k - 1)); }
    const ForgottenEntry& entry(int k) const { return entries.at(std::size_t(k - 1)); }
};

namespace Forgotten {
// A reminder the watcher will not fire any more: one dated before today, or one of today whose
// second came before the watcher's first (the computer was switched on late, or the program ended
// while its alert was held behind the lock). A slot of today at 00:00:00 is what a fired reminder
// leaves, and stays. `watchedFrom`: the first second the watcher covers, in seconds of local time
// since 30 December 1899.
inline bool isForgotten(DateTimeValue slotDate, DateTimeValue pickerValue, qint64 watchedFrom) {
    if (slotDate.isZero())
        return false;
    const qint64 day = slotDate.datePart().totalSeconds();
    const qint64 today = DateTimeValue::fromSeconds(watchedFrom).datePart().totalSeconds();
    const int time = pickerValue.secondsOfDay();
    return day < today || (day == today && time != 0 && day + time < watchedFrom);
}
inline constexpr auto kEmptyText = "V schránke nie sú odkazy";
inline constexpr auto kCountText = "Počet odkazov v schránke:";
inline constexpr auto kListItem = "Odkaz z dňa: ";
inline constexpr auto kIconTip = "Odkaz zo dňa ";
inline constexpr auto kQuestionTitle = "Zabudnuté odkazy v programe Pripomin";
inline QString questionText() {
    return QStringLiteral(
        "Váš počítač pravdepodobne nebol zapnutý a tak\r\nSte si nevyzdvihli vami naplánované "
        "odkazy.\r\n Chcete ich vymazať?");
}
} // namespace Forgotten
