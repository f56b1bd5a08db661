// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <compare>
#include <optional>

// A date-time value as the settings file and the slots know it: days since 30 December 1899,
// the fraction being the time of day. 0 (the zero date) marks "no date".
class DateTimeValue {
  public:
    constexpr DateTimeValue() = default;
    explicit constexpr DateTimeValue(double days) : m_days(days) {}

    static DateTimeValue fromDateTime(const QDateTime& dt);
    static DateTimeValue fromDate(const QDate& d);
    // A time of day alone: day count 0.
    static DateTimeValue fromTime(const QTime& t);
    static DateTimeValue fromSeconds(qint64 secondsSinceEpoch1899);

    constexpr double days() const { return m_days; }
    constexpr bool isZero() const { return m_days == 0.0; }

    // Whole seconds since 30 December 1899 00:00:00 (the time of day rounded to the second).
    qint64 totalSeconds() const;
    QDate date() const;
    QTime timeOfDay() const;
    int secondsOfDay() const;
    QDateTime toDateTime() const;
    DateTimeValue datePart() const { return fromDate(date()); }
    DateTimeValue timePart() const { return fromTime(timeOfDay()); }

    auto operator<=>(const DateTimeValue&) const = default;

  private:
    double m_days = 0.0;
};

namespace DateText {
// The short date of the locale, always with a four-digit year.
QString dateFormat(const QLocale& locale);
// The locale's time of day with seconds and without a time-zone field.
QString timeFormat(const QLocale& locale);

// Text form: date alone when the time of day is 0, time alone when the day count is 0
// (the zero date gives "0:00:00" style midnight), otherwise date, one blank, time.
QString toText(DateTimeValue v, const QLocale& locale = QLocale());
QString dateText(const QDate& d, const QLocale& locale = QLocale());
QString timeText(const QTime& t, const QLocale& locale = QLocale());

// Reads what toText writes, plus the Slovak forms with and without blanks and ISO dates.
// std::nullopt when the text is not a date-time at all.
std::optional<DateTimeValue> tryParse(const QString& text, const QLocale& locale = QLocale());
// Like tryParse, but text that is not a date gives the zero date.
DateTimeValue parse(const QString& text, const QLocale& locale = QLocale());
std::optional<QTime> tryParseTime(const QString& text, const QLocale& locale = QLocale());
} // namespace DateText
