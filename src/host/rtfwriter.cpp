#include "host/rtfwriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <array>
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

void appendText(QString& out, QStringView text) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
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
        if (c < 0x20)
            continue; // control characters carry nothing a reader would show
        if (c < 0x80) {
            out += qc;
            continue;
        }
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
    int color = 0;
    int font = -1; // unknown at the start, so the first run names its font and size
    int halfPoints = -1;
};

template <typename T> int indexOf(std::vector<T>& list, const T& value) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == value)
            return int(i);
    list.push_back(value);
    return int(list.size() - 1);
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
    const QString defaultFamily = defaultFont.family();
    const double defaultSize = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12.0;

    std::vector<QString> fonts;
    std::vector<QRgb> colors;
    QString body;
    body.reserve(document.characterCount() + document.characterCount() / 4 + 256);

    RunState state;
    int previousAlignment = -1;
    bool needsDelimiter = false; // the body ends with a control word that text must not run into
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int align = alignmentCode(block.blockFormat().alignment());
        if (align != previousAlignment) {
            static constexpr const char16_t* kAlign[] = {u"", u"\\qr", u"\\qc", u"\\qj"};
            body += u"\\pard";
            body += kAlign[align];
            previousAlignment = align;
            needsDelimiter = true;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat fmt = fragment.charFormat();
            const QStringList families = fmt.fontFamilies().toStringList();
            QString family = families.isEmpty() ? defaultFamily : families.first();
            family.remove(u';');
            const double size =
                fmt.hasProperty(QTextFormat::FontPointSize) ? fmt.fontPointSize() : defaultSize;
            const QBrush foreground = fmt.foreground();

            RunState run;
            run.bold = fmt.fontWeight() > QFont::Medium;
            run.italic = fmt.fontItalic();
            run.underline = fmt.fontUnderline();
            run.color = fmt.hasProperty(QTextFormat::ForegroundBrush) && foreground.style() != Qt::NoBrush
                            ? indexOf(colors, foreground.color().rgb() | 0xff000000u) + 1
                            : 0;
            run.font = indexOf(fonts, family);
            run.halfPoints = std::clamp(qRound(size * 2), 2, 3276);

            const qsizetype before = body.size();
            if (run.font != state.font) {
                body += u"\\f";
                appendNumber(body, run.font);
            }
            if (run.halfPoints != state.halfPoints) {
                body += u"\\fs";
                appendNumber(body, run.halfPoints);
            }
            if (run.bold != state.bold)
                body += run.bold ? u"\\b" : u"\\b0";
            if (run.italic != state.italic)
                body += run.italic ? u"\\i" : u"\\i0";
            if (run.underline != state.underline)
                body += run.underline ? u"\\ul" : u"\\ulnone";
            if (run.color != state.color) {
                body += u"\\cf";
                appendNumber(body, run.color);
            }
            if (body.size() != before)
                needsDelimiter = true;
            state = run;
            if (needsDelimiter)
                body += u' ';
            needsDelimiter = false;
            appendText(body, fragment.text());
        }
        body += u"\\par\r\n";
        needsDelimiter = false;
    }

    if (fonts.empty())
        fonts.push_back(defaultFamily);
    QString out;
    out.reserve(body.size() + 256);
    out += u"{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += u"{\\f";
        appendNumber(out, int(i));
        out += u"\\fnil\\fcharset238 ";
        appendText(out, fonts[i]);
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
    out += u"}\r\n\\uc1";
    out += body;
    out += u'}';
    return out;
}

} // namespace rtf
