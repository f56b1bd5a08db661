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
// A slot with a date before today; a slot dated today never is, whatever its time.
inline bool isForgotten(DateTimeValue slotDate, const QDate& today) {
    return !slotDate.isZero() && DateTimeValue::fromDate(today) > slotDate;
}
inline constexpr auto kEmptyText = "V schránke nie sú odkazy";
inline constexpr auto kCountText = "Počet odkazov v schránke:";
inline constexpr auto kListItem = "Odkaz z dňa: ";
inline constexpr auto kIconTip = "Odkaz zo dňa ";
inline constexpr auto kQuestionTitle = "Zabudnuté odkazy v programe Pripomin";
inline QString questionText() {
    return QStringLiteral("Váš počítač pravdepodobne nebol zapnutý a tak\r\nSte si nevyzdvihli vami naplánované "
                          "odkazy.\r\n Chcete ich vymazať?");
}
} // namespace Forgotten
