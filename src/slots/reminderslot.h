// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/datetime.h"

#include <QString>
#include <array>

constexpr int kSlotCount = 12;

// One reminder: a day, a time of day and a formatted note.
struct ReminderSlot {
    QString note;       // the whole RTF document, as the editor gives it
    DateTimeValue date; // zero date = no date
    QString time;       // text copy of the slot's time picker, "9:5:0"

    bool operator==(const ReminderSlot&) const = default;
};

// The twelve slots, numbered 1 to 12.
class SlotTable {
  public:
    ReminderSlot& operator[](int k) { return m_slots.at(std::size_t(k - 1)); }
    const ReminderSlot& operator[](int k) const { return m_slots.at(std::size_t(k - 1)); }

  private:
    std::array<ReminderSlot, kSlotCount> m_slots{};
};

// "9:5:0" for 09:05:00: hours, minutes and seconds without leading zeros.
QString slotTimeText(const QTime& t);
