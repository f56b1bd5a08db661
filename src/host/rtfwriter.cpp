// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/rtfwriter.h"

#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "host/twips.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextImageFormat>
#include <QUrl>

#include <array>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

// Windows-1250 bytes 0x80..0xFF; 0 where the code page defines no character.
constexpr char16_t kWindows1250High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Every character the code page has lies below U+2200.
constexpr std::size_t kReverseSize = 0x2200;

const std::array<uchar, kReverseSize>& reverseWindows1250() {
    static const std::array<uchar, kReverseSize> table = [] {
        std::array<uchar, kReverseSize> t{};
        for (int i = 0; i < 128; ++i)
            if (kWindows1250High[i] != 0)
                t[kWindows1250High[i]] = uchar(0x80 + i);
        return t;
    }();
    return table;
}

constexpr char kHex[] = "0123456789abcdef";

void appendNumber(QString& out, int n) {
    out += QString::number(n);
}

// Control characters, frame marks and object placeholders carry nothing a reader would show.
constexpr bool isDropped(char16_t c) {
    return (c < 0x20 && c != u'\t') || c == QChar::ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1 ||
           c == QChar::ObjectReplacementCharacter;
}

// \uN with the Windows-1250 byte (or '?') for readers that do not know \u.
void appendUnicode(QString& out, char16_t c) {
    out += u"\\u";
    appendNumber(out, int(qint16(c)));
    const int b = rtf::windows1250Byte(c);
    if (b < 0) {
        out += u'?';
    } else {
        out += u"\\'";
        out += QChar(kHex[b >> 4]);
        out += QChar(kHex[b & 15]);
    }
}

constexpr bool isPlainAscii(char16_t c) {
    return c >= 0x20 && c < 0x80 && c != u'\\' && c != u'{' && c != u'}';
}

void appendText(QString& out, QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (isPlainAscii(text[i].unicode())) {
            qsizetype end = i + 1;
            while (end < n && isPlainAscii(text[end].unicode()))
                ++end;
            out += text.sliced(i, end - i);
            i = end - 1;
            continue;
        }
        const QChar qc = text[i];
        char16_t c = qc.unicode();
        // Surrogates go out in pairs; an unpaired one (never read from RTF) as U+FFFD.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendUnicode(out, c);
            appendUnicode(out, text[++i].unicode());
            continue;
        }
        if (QChar::isSurrogate(c))
            c = QChar::ReplacementCharacter;
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            out += u'\\';
            out += qc;
            continue;
        case u'\t':
            out += u"\\tab ";
            continue;
        case QChar::LineSeparator:
            out += u"\\line ";
            continue;
        default:
            break;
        }
        if (isDropped(c))
            continue;
        if (c < 0x80) {
            out += qc;
            continue;
        }
        appendUnicode(out, c);
    }
}

// A font name as the table can hold it and a reader gives it back: no ';' (it ends the name), no
// characters the text escapes leave out, no blanks around it.
QString cleanFamily(const QString& family) {
    QString clean;
    for (const QChar c : family)
        if (c != u';' && !isDropped(c.unicode()))
            clean += c;
    return clean.trimmed();
}

int alignmentCode(Qt::Alignment align) {
    const Qt::Alignment h = align & Qt::AlignHorizontal_Mask;
    if (h == Qt::AlignJustify)
        return 3;
    if (h & Qt::AlignHCenter)
        return 2;
    if (h & Qt::AlignRight)
        return 1;
    return 0;
}

struct RunState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int script = QTextCharFormat::AlignNormal;
    int color = 0;
    int highlight = 0;
    int font = -1; // unknown at the start, so the first run names its font and size
    int halfPoints = -1;
};

struct FontKey {
    QString family;
    int charset = 238;
    int hint = QFont::AnyStyle;
    bool operator==(const FontKey&) const = default;
};

const char16_t* familyCode(int hint) {
    switch (hint) {
    case QFont::Serif:
        return u"\\froman";
    case QFont::SansSerif:
        return u"\\fswiss";
    case QFont::TypeWriter:
        return u"\\fmodern";
    case QFont::Cursive:
        return u"\\fscript";
    case QFont::Decorative:
        return u"\\fdecor";
    case QFont::Fantasy:
        return u"\\ftech";
    default:
        return u"\\fnil";
    }
}

// What \pard and the words after it give a paragraph.
struct ParaState {
    int align = 0;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0, spaceBefore = 0, spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    int listStyle = 0;
    int listStart = 1;
    QString prefix, suffix;
    int ls = 0, level = 0; // Word's list and level, in an outline of several levels
    bool inTable = false;
    int nesting = 0; // the depth of a table in a cell
    bool operator==(const ParaState&) const = default;
};

int toTwips(double pixels) {
    return std::clamp(qRound(pixels * Twips::kPerDesignPixel), -31680, 31680);
}

ParaState paraState(const QTextBlock& block, int align) {
    const QTextBlockFormat bf = block.blockFormat();
    ParaState p;
    p.align = align;
    // An indent level (pasted lists and quotes) is as wide as the editor draws it.
    const double indentWidth = 40;
    int listIndent = 0;
    if (const QTextList* list = block.textList()) {
        const QTextListFormat lf = list->format();
        p.listStyle = rtf::listStyle(lf);
        p.listStart = rtf::listStart(lf);
        p.prefix = lf.numberPrefix();
        p.suffix = rtf::listSuffix(lf);
        if (rtf::isBulletStyle(p.listStyle))
            p.prefix.clear(), p.suffix.clear();
        listIndent = lf.indent();
    }
    p.leftIndent = toTwips(bf.leftMargin() + (bf.indent() + listIndent) * indentWidth);
    p.rightIndent = toTwips(bf.rightMargin());
    if (p.listStyle != 0)
        p.firstIndent = bf.hasProperty(rtf::ListFirstIndent) ? bf.intProperty(rtf::ListFirstIndent) : -360;
    else
        p.firstIndent = toTwips(bf.textIndent());
    p.spaceBefore = std::max(toTwips(bf.topMargin()), 0);
    p.spaceAfter = std::max(toTwips(bf.bottomMargin()), 0);
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (qRound(bf.lineHeight()) != 100 && bf.lineHeight() > 0) {
            p.lineSpacing = std::clamp(qRound(bf.lineHeight() * 2.4), 1, 31680);
            p.lineMultiple = true;
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        p.lineSpacing = std::max(toTwips(bf.lineHeight()), 0);
        break;
    case QTextBlockFormat::FixedHeight:
        p.lineSpacing = -std::max(toTwips(bf.lineHeight()), 0);
        break;
    default:
        break;
    }
    return p;
}

const char16_t* numberCode(int style) {
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return u"\\pnlcltr";
    case QTextListFormat::ListUpperAlpha:
        return u"\\pnucltr";
    case QTextListFormat::ListLowerRoman:
        return u"\\pnlcrm";
    case QTextListFormat::ListUpperRoman:
        return u"\\pnucrm";
    default:
        return u"\\pndec";
    }
}

// The paragraph Qt keeps before a table that starts the note, which RTF has not.
bool isTableGuard(const QTextBlock& block) {
    return block.length() == 1 && !block.previous().isValid() && block.next().isValid() &&
           block.blockFormat() == QTextBlockFormat() && !QTextCursor(block).currentTable() &&
           QTextCursor(block.next()).currentTable();
}

// What a reader knows of a list paragraph: its list's look and first number, its indent and level.
struct ListKey {
    int style = 0, leftIndent = 0, start = 1, level = 0;
    QString prefix, suffix;
    bool operator<(const ListKey& o) const {
        return std::tie(style, leftIndent, start, level, prefix, suffix) <
               std::tie(o.style, o.leftIndent, o.start, o.level, o.prefix, o.suffix);
    }
    bool looksLike(const ListKey& o) const {
        return style == o.style && prefix == o.prefix && suffix == o.suffix;
    }
};

// Consecutive list paragraphs of one cell: each level's look and first number, as Word's list
// table gives them. Where an outline has more than its outermost level, readers that know levels
// (Word, LibreOffice) take it from that table; WordPad reads the \pn form written beside it.
struct Outline {
    std::array<ListKey, 9> levels;
    std::array<bool, 9> used{};
    bool deep = false;
};

// The outlines, and for each paragraph its outline's index (-1 outside lists). They are found in
// the lists as the reader makes them of what is written (paragraphs in a row of one look, indent
// and level, until an item of a higher level), so a note written again gives the same outlines.
// A level's list may be followed in an outline by another of the same look after an item of a
// higher level, which Word numbers afresh as the reader does; any other starts an outline of its own.
std::vector<Outline> findOutlines(const QTextDocument& document, std::vector<int>& outlineOf) {
    std::vector<Outline> outlines;
    outlineOf.assign(std::size_t(document.blockCount()), -1);
    std::map<ListKey, std::pair<int, int>> lists; // each open list's number and items so far
    std::array<int, 9> open;
    open.fill(-1);
    int current = -1;
    int count = 0;
    const QTextTable* previousTable = nullptr;
    int previousCell = -1;
    int number = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++number) {
        const QTextList* list = block.textList();
        const QTextTable* table = list ? QTextCursor(block).currentTable() : nullptr;
        const int cell = table ? table->cellAt(block.position()).firstPosition() : -1;
        if (list && !table && isTableGuard(block))
            continue; // not written
        if (!list || table != previousTable || cell != previousCell) {
            current = -1;
            lists.clear();
        }
        previousTable = table;
        previousCell = cell;
        if (!list)
            continue;
        const ParaState para = paraState(block, 0);
        const bool bullet = rtf::isBulletStyle(para.listStyle);
        const ListKey key{
            para.listStyle, para.leftIndent, bullet ? 1 : para.listStart, rtf::listLevel(list->format()),
            para.prefix,    para.suffix};
        const auto level = std::size_t(key.level);
        std::erase_if(lists, [&key](const auto& entry) { return entry.first.level > key.level; });
        const auto [it, added] = lists.try_emplace(key, count, 0);
        count += added ? 1 : 0;
        const int id = it->second.first;
        const int first = bullet ? 1 : key.start + it->second.second++;
        bool fits = current >= 0;
        if (fits && open[level] != id) {
            const Outline& o = outlines[std::size_t(current)];
            fits = open[level] < 0 &&
                   (!o.used[level] || (o.levels[level].looksLike(key) && o.levels[level].start == first));
        }
        if (!fits) {
            current = int(outlines.size());
            outlines.emplace_back();
            open.fill(-1);
        }
        Outline& o = outlines[std::size_t(current)];
        if (!o.used[level]) {
            o.used[level] = true;
            o.levels[level] = key;
            o.levels[level].start = first;
        }
        o.deep = o.deep || level > 0;
        open[level] = id;
        std::fill(open.begin() + key.level + 1, open.end(), -1);
        outlineOf[std::size_t(number)] = current;
    }
    return outlines;
}

int numberFormatCode(int style) {
    switch (style) {
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    case QTextListFormat::ListDecimal:
        return 0;
    default:
        return 23; // a bullet
    }
}

void appendByte(QString& out, int b) {
    out += u"\\'";
    out += QChar(kHex[(b >> 4) & 15]);
    out += QChar(kHex[b & 15]);
}

// Word's list table of the outlines when one of them has levels; `lsOf` gets each one's list number.
void appendListTable(QString& out, const std::vector<Outline>& outlines, std::vector<int>& lsOf) {
    lsOf.assign(outlines.size(), 0);
    QString overrides = QStringLiteral("{\\*\\listoverridetable");
    // LibreOffice takes lists of WordPad's form alone in such a document for one of the table's,
    // so then every list is in the table.
    if (std::none_of(outlines.begin(), outlines.end(), [](const Outline& o) { return o.deep; }))
        return;
    int ls = 0;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        const Outline& o = outlines[i];
        lsOf[i] = ++ls;
        out += ls == 1 ? u"{\\*\\listtable{\\list" : u"{\\list";
        for (std::size_t level = 0; level < o.levels.size(); ++level) {
            const ListKey defaults{QTextListFormat::ListDecimal, 0, 1, 0, QString(), QStringLiteral(".")};
            const ListKey& key = o.used[level] ? o.levels[level] : defaults;
            const int style = key.style;
            const int nfc = numberFormatCode(style);
            out += u"{\\listlevel\\levelnfc";
            appendNumber(out, nfc);
            out += u"\\levelnfcn";
            appendNumber(out, nfc);
            out += u"\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat";
            appendNumber(out, std::clamp(key.start, 0, 32767));
            out += u"{\\leveltext";
            if (nfc == 23) {
                out += u"\\'01\\u8226 ?;}{\\levelnumbers;}}";
                continue;
            }
            // The label's length, then its text with the level's number as the byte of the level.
            const QString& prefix = key.prefix;
            const QString& suffix = key.suffix;
            appendByte(out, int(std::min<qsizetype>(prefix.size() + 1 + suffix.size(), 255)));
            appendText(out, prefix);
            appendByte(out, int(level));
            appendText(out, suffix);
            out += u";}{\\levelnumbers";
            appendByte(out, int(std::min<qsizetype>(prefix.size() + 1, 255)));
            out += u";}}";
        }
        out += u"\\listid";
        appendNumber(out, ls);
        out += u'}';
        overrides += QStringLiteral("{\\listoverride\\listid%1\\listoverridecount0\\ls%1}").arg(ls);
    }
    out += u"}\r\n";
    out += overrides;
    out += u"}\r\n";
}

template <typename T> int indexOf(std::vector<T>& list, const T& value) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == value)
            return int(i);
    list.push_back(value);
    return int(list.size() - 1);
}

void appendHex(QString& out, QByteArrayView data) {
    out.reserve(out.size() + data.size() * 2 + data.size() / 64 * 2 + 4);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % 64 == 0)
            out += u"\r\n";
        const uchar b = uchar(data[i]);
        out += QChar(kHex[b >> 4]);
        out += QChar(kHex[b & 15]);
    }
}

// A picture as it came from a note, or else (a pasted one) as PNG at the size it is shown.
void appendPicture(QString& out, const QTextDocument& document, const QTextImageFormat& fmt) {
    if (fmt.hasProperty(rtf::PictureData)) {
        out += u"{\\pict";
        out += fmt.stringProperty(rtf::PictureHeader);
        appendHex(out, fmt.property(rtf::PictureData).toByteArray());
        out += u'}';
        return;
    }
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(fmt.name()));
    QImage image;
    if (resource.metaType() == QMetaType::fromType<QImage>())
        image = resource.value<QImage>();
    else if (resource.metaType() == QMetaType::fromType<QPixmap>())
        image = resource.value<QPixmap>().toImage();
    else if (resource.metaType() == QMetaType::fromType<QByteArray>())
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return; // nothing to keep: a picture the editor could not load either
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const double width = fmt.width() > 0 ? fmt.width() : image.width();
    const double height = fmt.height() > 0 ? fmt.height() : image.height();
    out += QStringLiteral("{\\pict\\pngblip\\picw%1\\pich%2\\picwgoal%3\\pichgoal%4")
               .arg(image.width())
               .arg(image.height())
               .arg(toTwips(width))
               .arg(toTwips(height));
    appendHex(out, png);
    out += u'}';
}

// A table row's definition: each cell's right edge and, when the table has them, its borders.
void appendRowDefinition(QString& out, const QTextTable& table, int row) {
    const QTextTableFormat tf = table.format();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    const bool borders = tf.border() > 0 && tf.borderStyle() != QTextFrameFormat::BorderStyle_None;
    out += u"\\trowd\\trgaph108";
    int edge = 0;
    for (int c = 0; c < table.columns(); ++c) {
        const QTextLength width = c < widths.size() ? widths[c] : QTextLength();
        // Columns without a fixed width share a page of 6.5 inches.
        edge += width.type() == QTextLength::FixedLength ? std::max(toTwips(width.rawValue()), 15)
                                                         : 9360 / table.columns();
        const QTextTableCell cell = table.cellAt(row, c);
        if (cell.column() + cell.columnSpan() - 1 > c)
            continue; // a cell spanning columns ends at the last of them
        if (cell.row() < row)
            out += u"\\clvmrg";
        else if (cell.rowSpan() > 1)
            out += u"\\clvmgf";
        if (borders)
            out += u"\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\br"
                   u"drs\\brdrw10";
        out += u"\\cellx";
        appendNumber(out, edge);
    }
}

} // namespace

namespace rtf {

int windows1250Byte(char16_t c) {
    if (c < 0x80)
        return c;
    if (c >= kReverseSize)
        return -1;
    const uchar b = reverseWindows1250()[c];
    return b ? b : -1;
}

QString write(const QTextDocument& document) {
    const QFont defaultFont = document.defaultFont();
    QString defaultFamily = cleanFamily(defaultFont.family());
    if (defaultFamily.isEmpty())
        defaultFamily = QStringLiteral("Arial");
    const double defaultSize = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12.0;

    // First the formats in use, so the tables can precede the text; fonts and colours are
    // numbered in the order they first appear.
    std::unordered_map<int, RunState> runs;
    std::vector<FontKey> fonts;
    std::vector<QRgb> colors;
    const auto colorIndex = [&colors](const QColor& c) { return indexOf(colors, c.rgb() | 0xff000000u) + 1; };
    int symbolFont = -1; // the font of bullets in list labels
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (symbolFont < 0 && block.textList() &&
            rtf::isBulletStyle(rtf::listStyle(block.textList()->format())))
            symbolFont = -2;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || runs.count(fragment.charFormatIndex()))
                continue;
            const QTextCharFormat fmt = fragment.charFormat();
            const QStringList families = fmt.fontFamilies().toStringList();
            FontKey font;
            font.family = families.isEmpty() ? QString() : cleanFamily(families.first());
            if (font.family.isEmpty())
                font.family = defaultFamily;
            if (fmt.hasProperty(rtf::FontCharset))
                font.charset = std::clamp(fmt.intProperty(rtf::FontCharset), 0, 255);
            if (fmt.hasProperty(QTextFormat::FontStyleHint))
                font.hint = fmt.fontStyleHint();
            RunState run;
            run.hidden = fmt.boolProperty(rtf::HiddenText);
            double size = fmt.hasProperty(QTextFormat::FontPointSize) ? fmt.fontPointSize() : defaultSize;
            QBrush foreground = fmt.foreground();
            bool hasForeground = fmt.hasProperty(QTextFormat::ForegroundBrush);
            if (run.hidden) {
                size = fmt.hasProperty(rtf::HiddenPointSize) ? fmt.doubleProperty(rtf::HiddenPointSize)
                                                             : defaultSize;
                hasForeground = fmt.hasProperty(rtf::HiddenForeground);
                foreground = fmt.colorProperty(rtf::HiddenForeground);
            }
            run.bold = fmt.fontWeight() > QFont::Medium;
            run.italic = fmt.fontItalic();
            run.underline = fmt.fontUnderline();
            run.strike = fmt.fontStrikeOut();
            run.script = fmt.verticalAlignment() == QTextCharFormat::AlignSuperScript ||
                                 fmt.verticalAlignment() == QTextCharFormat::AlignSubScript
                             ? fmt.verticalAlignment()
                             : QTextCharFormat::AlignNormal;
            run.color =
                hasForeground && foreground.style() != Qt::NoBrush ? colorIndex(foreground.color()) : 0;
            const QBrush background = fmt.background();
            run.highlight = fmt.hasProperty(QTextFormat::BackgroundBrush) &&
                                    background.style() != Qt::NoBrush && background.color().alpha() > 0
                                ? colorIndex(background.color())
                                : 0;
            run.font = indexOf(fonts, font);
            run.halfPoints = std::clamp(qRound(size * 2), 2, 3276);
            runs.emplace(fragment.charFormatIndex(), run);
        }
    }
    if (fonts.empty())
        fonts.push_back({defaultFamily});
    if (symbolFont == -2)
        symbolFont = indexOf(fonts, FontKey{QStringLiteral("Symbol"), 2});

    const QString raw = document.toRawText();
    QString out;
    out.reserve(raw.size() * 2 + 512);
    out += u"{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += u"{\\f";
        appendNumber(out, int(i));
        out += familyCode(fonts[i].hint);
        out += u"\\fcharset";
        appendNumber(out, fonts[i].charset);
        out += u' ';
        appendText(out, fonts[i].family);
        out += u";}";
    }
    out += u"}\r\n{\\colortbl ;";
    for (const QRgb rgb : colors) {
        out += u"\\red";
        appendNumber(out, qRed(rgb));
        out += u"\\green";
        appendNumber(out, qGreen(rgb));
        out += u"\\blue";
        appendNumber(out, qBlue(rgb));
        out += u';';
    }
    out += u"}\r\n";
    std::vector<int> outlineOf, lsOf;
    const std::vector<Outline> outlines = findOutlines(document, outlineOf);
    appendListTable(out, outlines, lsOf);
    out += u"\\uc1";

    RunState state;
    RunState outsideLink; // the state to return to when a link's group closes
    QString link;
    const auto closeLink = [&] {
        if (link.isEmpty())
            return;
        out += u"}}}";
        state = outsideLink;
        link.clear();
    };
    ParaState previous;
    previous.align = -1;
    bool needsDelimiter = false; // the output ends with a control word that text must not run into
    int number = -1;
    // Where each table being written has got to, the outermost first: the row and column of
    // its next cell. A cell merged into the one above has no text of its own in the document,
    // only a place. The rows of a table in a cell are defined after their cells, as Word writes
    // them, and followed by a paragraph mark for readers that do not know such tables.
    struct Grid {
        const QTextTable* table = nullptr;
        int row = 0, column = 0;
        bool defined = false; // the row's definition is written
    };
    std::vector<Grid> grids;
    // Past the cell at the grid's place; always forward, also where the table has no such cell.
    const auto stepPast = [](Grid& grid, const QTextTableCell& cell) {
        const int after = cell.isValid() ? cell.column() + cell.columnSpan() : grid.table->columns();
        grid.column = std::max(after, grid.column + 1);
    };
    const auto emptyCell = [&out, &previous](int level) {
        if (level == 1) {
            out += u"\\pard\\intbl\\cell";
        } else {
            out += u"\\pard\\intbl\\itap";
            appendNumber(out, level);
            out += u"\\nestcell";
        }
        previous.align = -1;
    };
    const auto defineRow = [&](Grid& grid, int level) {
        if (grid.defined || grid.row >= grid.table->rows() || level > 1)
            return;
        appendRowDefinition(out, *grid.table, grid.row);
        grid.defined = true;
        previous.align = -1; // each row starts its paragraphs afresh
    };
    // Ends a cell: the merged places after it in its row, and the row when they end it.
    const auto endCell = [&](Grid& grid, int level) {
        while (grid.column < grid.table->columns()) {
            const QTextTableCell next = grid.table->cellAt(grid.row, grid.column);
            if (next.row() == grid.row)
                break;
            out += u' ';
            emptyCell(level);
            stepPast(grid, next);
        }
        if (grid.column < grid.table->columns()) {
            out += u' ';
            return;
        }
        if (level == 1) {
            out += u"\\row\r\n";
        } else {
            out += u"{\\*\\nesttableprops";
            appendRowDefinition(out, *grid.table, grid.row);
            out += u"\\nestrow}{\\nonesttables\\par}\r\n";
            previous.align = -1;
        }
        ++grid.row;
        grid.column = 0;
        grid.defined = false;
    };
    // Writes the rows and merged places before the cell at `row`, `column`.
    const auto fillTo = [&](Grid& grid, int level, int row, int column) {
        while ((grid.row < row || (grid.row == row && grid.column < column)) &&
               grid.row < grid.table->rows()) {
            defineRow(grid, level);
            emptyCell(level);
            stepPast(grid, grid.table->cellAt(grid.row, grid.column));
            endCell(grid, level);
        }
        defineRow(grid, level);
    };
    std::vector<const QTextTable*> chain; // the tables the block is in, the outermost first
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        ParaState para = paraState(block, alignmentCode(block.blockFormat().alignment()));
        if (const int outline = outlineOf[std::size_t(++number)];
            outline >= 0 && lsOf[std::size_t(outline)]) {
            para.ls = lsOf[std::size_t(outline)];
            para.level = rtf::listLevel(block.textList()->format());
        }
        const QTextTable* table = QTextCursor(block).currentTable();
        QTextTableCell cell;
        if (table) {
            cell = table->cellAt(block.position());
            para.inTable = true;
            chain.clear();
            for (const QTextFrame* frame = table; frame; frame = frame->parentFrame())
                if (const auto* t = qobject_cast<const QTextTable*>(frame))
                    chain.insert(chain.begin(), t);
            std::size_t same = 0;
            while (same < grids.size() && same < chain.size() && grids[same].table == chain[same])
                ++same;
            grids.resize(same);
            for (std::size_t i = same; i < chain.size(); ++i)
                grids.push_back({chain[i]});
            for (std::size_t i = 0; i < chain.size(); ++i) {
                const QTextTableCell around = chain[i]->cellAt(block.position());
                if (around.firstCursorPosition().block() == block)
                    fillTo(grids[i], int(i + 1), around.row(), around.column());
            }
            if (chain.size() > 1)
                para.nesting = int(chain.size());
            // The paragraph Qt keeps in a cell before a table that starts it.
            const QTextTable* next = QTextCursor(block.next()).currentTable();
            if (block.length() == 1 && !block.textList() && cell.firstCursorPosition().block() == block &&
                next && next->parentFrame() == table)
                continue;
        } else if (isTableGuard(block)) {
            continue; // the paragraph Qt keeps before a table that starts the note
        }
        if (!(para == previous)) {
            static constexpr const char16_t* kAlign[] = {u"", u"\\qr", u"\\qc", u"\\qj"};
            out += u"\\pard";
            if (para.listStyle != 0) {
                // WordPad's own list form, which Word and LibreOffice read too.
                if (rtf::isBulletStyle(para.listStyle)) {
                    out += u"{\\*\\pn\\pnlvlblt\\pnf";
                    appendNumber(out, symbolFont);
                    out += u"\\pnindent0{\\pntxtb\\'b7}}";
                } else {
                    out += u"{\\*\\pn\\pnlvlbody\\pnf";
                    appendNumber(out, std::max(state.font, 0));
                    out += u"\\pnindent0\\pnstart";
                    appendNumber(out, std::clamp(para.listStart, 0, 32767));
                    out += numberCode(para.listStyle);
                    if (!para.prefix.isEmpty()) {
                        out += u"{\\pntxtb ";
                        appendText(out, para.prefix);
                        out += u'}';
                    }
                    out += u"{\\pntxta ";
                    appendText(out, para.suffix);
                    out += u"}}";
                }
                if (para.ls > 0) {
                    out += u"\\ls";
                    appendNumber(out, para.ls);
                    out += u"\\ilvl";
                    appendNumber(out, para.level);
                }
            }
            out += kAlign[para.align];
            const auto word = [&out](const char16_t* name, int value) {
                if (value == 0)
                    return;
                out += name;
                appendNumber(out, value);
            };
            if (para.inTable)
                out += u"\\intbl";
            word(u"\\itap", para.nesting);
            word(u"\\fi", para.firstIndent);
            word(u"\\li", para.leftIndent);
            word(u"\\ri", para.rightIndent);
            word(u"\\sb", para.spaceBefore);
            word(u"\\sa", para.spaceAfter);
            word(u"\\sl", para.lineSpacing);
            if (para.lineSpacing != 0)
                out += para.lineMultiple ? u"\\slmult1" : u"\\slmult0";
            previous = para;
            needsDelimiter = true;
        }
        if (const QTextList* list = block.textList()) {
            out += u"{\\pntext\\f";
            if (rtf::isBulletStyle(para.listStyle)) {
                appendNumber(out, symbolFont);
                out += u"\\'b7";
            } else {
                appendNumber(out, std::max(state.font, 0));
                out += u' ';
                appendText(out, rtf::listLabel(*list, block));
            }
            out += u"\\tab}";
            needsDelimiter = false;
        }
        int position = block.position(); // counted along: asking each fragment costs a tree walk
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int start = position;
            position += fragment.length();
            const QTextCharFormat fmt = fragment.charFormat();
            QString href = fmt.isAnchor() ? fmt.anchorHref() : QString();
            if (href == u"#")
                href.clear(); // a link to nowhere (pasted pages have them)
            if (href != link) {
                closeLink();
                if (!href.isEmpty()) {
                    outsideLink = state;
                    link = href;
                    out += u"{\\field{\\*\\fldinst{HYPERLINK ";
                    QString target = href;
                    if (target.startsWith(u'#')) {
                        out += u"\\\\l ";
                        target.remove(0, 1);
                    }
                    target.replace(u'"', QStringLiteral("%22"));
                    out += u'"';
                    appendText(out, target);
                    out += u"\"}}{\\fldrslt{";
                }
                needsDelimiter = false;
            }
            const RunState& run = runs.at(fragment.charFormatIndex());
            const qsizetype before = out.size();
            if (run.font != state.font) {
                out += u"\\f";
                appendNumber(out, run.font);
            }
            if (run.halfPoints != state.halfPoints) {
                out += u"\\fs";
                appendNumber(out, run.halfPoints);
            }
            if (run.bold != state.bold)
                out += run.bold ? u"\\b" : u"\\b0";
            if (run.italic != state.italic)
                out += run.italic ? u"\\i" : u"\\i0";
            if (run.underline != state.underline)
                out += run.underline ? u"\\ul" : u"\\ulnone";
            if (run.strike != state.strike)
                out += run.strike ? u"\\strike" : u"\\strike0";
            if (run.script != state.script)
                out += run.script == QTextCharFormat::AlignSuperScript ? u"\\super"
                       : run.script == QTextCharFormat::AlignSubScript ? u"\\sub"
                                                                       : u"\\nosupersub";
            if (run.hidden != state.hidden)
                out += run.hidden ? u"\\v" : u"\\v0";
            if (run.color != state.color) {
                out += u"\\cf";
                appendNumber(out, run.color);
            }
            if (run.highlight != state.highlight) {
                out += u"\\highlight";
                appendNumber(out, run.highlight);
            }
            if (out.size() != before)
                needsDelimiter = true;
            state = run;
            if (fmt.isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i)
                    appendPicture(out, document, fmt.toImageFormat());
                needsDelimiter = false; // the picture's group ends the control words before it
                continue;
            }
            if (needsDelimiter)
                out += u' ';
            needsDelimiter = false;
            appendText(out, QStringView(raw).sliced(start, fragment.length()));
        }
        closeLink();
        if (state.script != QTextCharFormat::AlignNormal) {
            // LibreOffice drops the raising of a paragraph's last run when it reaches the mark.
            out += u"\\nosupersub";
            state.script = QTextCharFormat::AlignNormal;
        }
        if (table && cell.lastCursorPosition().block() == block) {
            const int level = int(grids.size());
            Grid& grid = grids.back();
            out += level == 1 ? u"\\cell" : u"\\nestcell";
            grid.column = cell.column() + cell.columnSpan();
            endCell(grid, level);
            if (block == table->lastCursorPosition().block())
                fillTo(grid, level, table->rows(), 0); // rows below of nothing but merged places
        } else
            out += u"\\par\r\n";
        needsDelimiter = false;
    }
    out += u'}';
    return out;
}

} // namespace rtf
