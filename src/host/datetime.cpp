// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/datetime.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr qint64 kDay = 86400;

// Removes every unquoted occurrence of the format letter and the blanks it leaves behind.
QString withoutToken(const QString& format, QChar token) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == token)
            continue;
        out += c;
    }
    return out.simplified();
}
} // namespace

DateTimeValue DateTimeValue::fromSeconds(qint64 s) {
    // Negative values keep the day before the point and the time of day after it as a positive fraction.
    const qint64 dayCount = s >= 0 ? s / kDay : -((-s + kDay - 1) / kDay);
    const qint64 secs = s - dayCount * kDay;
    if (dayCount >= 0)
        return DateTimeValue(double(dayCount) + double(secs) / kDay);
    return DateTimeValue(double(dayCount) - double(secs) / kDay);
}

DateTimeValue DateTimeValue::fromDateTime(const QDateTime& dt) {
    return fromSeconds(kEpoch.daysTo(dt.date()) * kDay + dt.time().msecsSinceStartOfDay() / 1000);
}

DateTimeValue DateTimeValue::fromDate(const QDate& d) {
    return DateTimeValue(double(kEpoch.daysTo(d)));
}

DateTimeValue DateTimeValue::fromTime(const QTime& t) {
    return fromSeconds(t.msecsSinceStartOfDay() / 1000);
}

qint64 DateTimeValue::totalSeconds() const {
    const double whole = std::trunc(m_days);
    const double fraction = std::fabs(m_days - whole);
    qint64 secs = qint64(std::llround(fraction * kDay));
    return qint64(whole) * kDay + secs;
}

QDate DateTimeValue::date() const {
    const qint64 s = totalSeconds();
    const qint64 dayCount = s >= 0 ? s / kDay : -((-s + kDay - 1) / kDay);
    return kEpoch.addDays(dayCount);
}

int DateTimeValue::secondsOfDay() const {
    const qint64 s = totalSeconds();
    const qint64 r = s % kDay;
    return int(r < 0 ? r + kDay : r);
}

QTime DateTimeValue::timeOfDay() const {
    return QTime(0, 0).addSecs(secondsOfDay());
}

QDateTime DateTimeValue::toDateTime() const {
    return QDateTime(date(), timeOfDay());
}

namespace DateText {

QString dateFormat(const QLocale& locale) {
    QString f = locale.dateFormat(QLocale::ShortFormat);
    // Two-digit years would read back in the wrong century.
    QString out;
    for (qsizetype i = 0; i < f.size(); ++i) {
        if (f[i] != u'y') {
            out += f[i];
            continue;
        }
        while (i + 1 < f.size() && f[i + 1] == u'y')
            ++i;
        out += QStringLiteral("yyyy");
    }
    return out;
}

QString timeFormat(const QLocale& locale) {
    QString f = withoutToken(locale.timeFormat(QLocale::LongFormat), QLatin1Char('t'));
    if (!f.contains(QLatin1Char('s')))
        f = withoutToken(locale.timeFormat(QLocale::ShortFormat), QLatin1Char('t')) + QStringLiteral(":ss");
    return f;
}

QString dateText(const QDate& d, const QLocale& locale) {
    return locale.toString(d, dateFormat(locale));
}

QString timeText(const QTime& t, const QLocale& locale) {
    return locale.toString(t, timeFormat(locale));
}

QString toText(DateTimeValue v, const QLocale& locale) {
    const QDate d = v.date();
    const QTime t = v.timeOfDay();
    if (d == kEpoch)
        return timeText(t, locale);
    if (t == QTime(0, 0))
        return dateText(d, locale);
    return dateText(d, locale) + QLatin1Char(' ') + timeText(t, locale);
}

namespace {
std::optional<QDate> tryParseDate(const QString& s, const QLocale& locale) {
    const QStringList localeFormats{dateFormat(locale), locale.dateFormat(QLocale::ShortFormat),
                                    locale.dateFormat(QLocale::LongFormat)};
    for (const QString& f : localeFormats) {
        const QDate d = locale.toDate(s, f);
        if (d.isValid())
            return d;
    }
    // Slovak forms with or without blanks after the dots, ISO, and the US form.
    QString compact;
    for (qsizetype i = 0; i < s.size(); ++i) {
        compact += s[i];
        if (s[i] == u'.')
            while (i + 1 < s.size() && s[i + 1].isSpace())
                ++i;
    }
    if (compact.endsWith(QLatin1Char('.')))
        compact.chop(1);
    for (const char* f : {"d.M.yyyy", "yyyy-M-d", "M/d/yyyy"}) {
        const QDate d = QDate::fromString(compact, QLatin1String(f));
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}
} // namespace

std::optional<QTime> tryParseTime(const QString& text, const QLocale& locale) {
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    for (const QString& f : {timeFormat(locale), locale.timeFormat(QLocale::ShortFormat)}) {
        const QTime t = locale.toTime(s, f);
        if (t.isValid())
            return t;
    }
    for (const char* f : {"H:m:s", "H:m", "h:m:s AP", "h:m:s ap", "h:m AP"}) {
        const QTime t = QTime::fromString(s, QLatin1String(f));
        if (t.isValid())
            return t;
    }
    return std::nullopt;
}

std::optional<DateTimeValue> tryParse(const QString& text, const QLocale& locale) {
    const QString s = text.simplified();
    if (s.isEmpty() || s.size() > 64)
        return std::nullopt;
    if (const auto t = tryParseTime(s, locale))
        return DateTimeValue::fromTime(*t);
    if (const auto d = tryParseDate(s, locale))
        return DateTimeValue::fromDate(*d);
    // Date and time: try every blank as the place where the time begins (times may hold blanks too).
    for (int i = s.indexOf(QLatin1Char(' ')); i > 0; i = s.indexOf(QLatin1Char(' '), i + 1)) {
        const auto d = tryParseDate(s.left(i), locale);
        if (!d)
            continue;
        if (const auto t = tryParseTime(s.mid(i + 1), locale))
            return DateTimeValue::fromDateTime(QDateTime(*d, *t));
    }
    return std::nullopt;
}

DateTimeValue parse(const QString& text, const QLocale& locale) {
    return tryParse(text, locale).value_or(DateTimeValue());
}

} // namespace DateText
