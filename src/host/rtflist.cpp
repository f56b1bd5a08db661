// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/rtflist.h"

#include "host/rtfformat.h"

#include <QTextBlock>
#include <QTextList>

#include <algorithm>

namespace {

QString letters(int number, char16_t first) {
    QString out;
    for (int n = number; n > 0; n = (n - 1) / 26)
        out.prepend(QChar(char16_t(first + (n - 1) % 26)));
    return out;
}

QString roman(int number, bool upper) {
    if (number <= 0 || number >= 4000)
        return QString::number(number); // Roman numbers end at 3999
    static constexpr std::pair<int, const char*> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto& [value, digits] : kDigits)
        for (; number >= value; number -= value)
            out += QLatin1String(digits);
    return upper ? out.toUpper() : out;
}

} // namespace

namespace rtf {

QTextListFormat::Style listStyle(const QTextListFormat& format) {
    if (format.style() == QTextListFormat::ListStyleUndefined && format.hasProperty(ListNumberStyle))
        return QTextListFormat::Style(format.intProperty(ListNumberStyle));
    return format.style();
}

int listStart(const QTextListFormat& format) {
    return format.hasProperty(ListStart) ? format.intProperty(ListStart) : 1;
}

int listLevel(const QTextListFormat& format) {
    const int level = format.hasProperty(ListLevel) ? format.intProperty(ListLevel) : format.indent() - 1;
    return std::clamp(level, 0, 8);
}

bool isBulletStyle(int style) {
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

QTextListFormat numberedListFormat(QTextListFormat::Style style, int start) {
    QTextListFormat format;
    format.setStyle(style);
    if (start != 1 && !isBulletStyle(style) && style != QTextListFormat::ListStyleUndefined) {
        format.setStyle(QTextListFormat::ListStyleUndefined);
        format.setProperty(ListNumberStyle, int(style));
        format.setProperty(ListStart, start);
    }
    return format;
}

QString listSuffix(const QTextListFormat& format) {
    return format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix() : QStringLiteral(".");
}

bool drawsOwnLabels(const QTextListFormat& format) {
    return format.style() == QTextListFormat::ListStyleUndefined && format.hasProperty(ListNumberStyle);
}

QString listLabel(const QTextList& list, const QTextBlock& block) {
    const QTextListFormat format = list.format();
    if (!drawsOwnLabels(format))
        return isBulletStyle(format.style()) ? QString() : list.itemText(block);
    const int index = list.itemNumber(block);
    if (index < 0)
        return {};
    const int number = listStart(format) + index;
    QString text;
    switch (listStyle(format)) {
    case QTextListFormat::ListLowerAlpha:
        text = letters(number, u'a');
        break;
    case QTextListFormat::ListUpperAlpha:
        text = letters(number, u'A');
        break;
    case QTextListFormat::ListLowerRoman:
        text = roman(number, false);
        break;
    case QTextListFormat::ListUpperRoman:
        text = roman(number, true);
        break;
    default:
        text = QString::number(number);
        break;
    }
    return format.numberPrefix() + text + listSuffix(format);
}

} // namespace rtf
