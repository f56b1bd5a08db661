// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/rtfreader.h"

#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "host/twips.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTextImageFormat>
#include <QUrl>
#include <QtEndian>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QTextDocument>
#include <QTextList>
#include <QTextListFormat>

#include <algorithm>
#include <climits>
#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

// Limits that no real document reaches; they keep hostile input from taking unbounded memory.
constexpr int kMaxDepth = 1000; // deeper groups still balance but share their parent's state
constexpr int kMaxFonts = 1024;
constexpr int kMaxColors = 1024;
constexpr int kMaxFontNameLength = 256;
// A heavily formatted 1 MB note has some 30 000 runs and 2 500 paragraphs.
constexpr std::size_t kMaxRuns = 200'000;
constexpr int kMaxParagraphs = 1'000'000;
constexpr int kSymbolCodePage = -2;
constexpr qsizetype kMaxPictureBytes = 64 << 20;
constexpr std::size_t kMaxTables = 10'000;
constexpr int kMaxNesting = 16; // tables in tables // \fcharset2: the Symbol font's own encoding

enum class Kw : quint8 {
    Unknown,
    SkipDestination,
    FontTable,
    ColorTable,
    Red,
    Green,
    Blue,
    FontCharset,
    FontCodePage,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    Bin,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Plain,
    Color,
    Font,
    FontSize,
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Page,
    FootnoteMark,
    Character, // a named special character: the table gives its code
    Strike,
    Super,
    Sub,
    NoSuperSub,
    Hidden,
    Highlight,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    FontFamily, // the table's code: a QFont::StyleHint
    ListLabel,  // \pntext, \listtext: the label as text, for readers without lists
    Pn,
    PnBullet,
    PnBody,
    PnLevel,
    PnStyle, // the table's code: a QTextListFormat::Style
    PnStart,
    PnTextAfter,
    PnTextBefore,
    ListTable,
    ListOverrideTable,
    ListId,
    LevelNfc,
    LevelStart,
    ListLevelGroup,
    ListOverrideGroup,
    ListStyle,
    ListLevelIndex,
    FieldInstruction,
    FieldResult,
    ListGroup,
    Picture,
    RowDefaults,
    CellEdge,
    InTable,
    Border,
    CellMerge, // the table's code: a CellMerge flag
    NestCell,
    NestRow,
    NestTableProps,
    Nesting,
};

struct KeywordEntry {
    std::string_view name;
    Kw kw;
    char16_t ch = 0;
};

constexpr KeywordEntry kKeywords[] = {
    {"aftncn", Kw::SkipDestination},
    {"aftnsep", Kw::SkipDestination},
    {"aftnsepc", Kw::SkipDestination},
    {"annotation", Kw::SkipDestination},
    {"ansi", Kw::Ansi},
    {"ansicpg", Kw::AnsiCodePage},
    {"atnauthor", Kw::SkipDestination},
    {"atndate", Kw::SkipDestination},
    {"atnicn", Kw::SkipDestination},
    {"atnid", Kw::SkipDestination},
    {"atnref", Kw::SkipDestination},
    {"atntime", Kw::SkipDestination},
    {"atrfend", Kw::SkipDestination},
    {"atrfstart", Kw::SkipDestination},
    {"author", Kw::SkipDestination},
    {"b", Kw::Bold},
    {"background", Kw::SkipDestination},
    {"bin", Kw::Bin},
    {"bkmkend", Kw::SkipDestination},
    {"bkmkstart", Kw::SkipDestination},
    {"blipuid", Kw::SkipDestination},
    {"blue", Kw::Blue},
    {"brdrdash", Kw::Border},
    {"brdrdb", Kw::Border},
    {"brdrdot", Kw::Border},
    {"brdrhair", Kw::Border},
    {"brdrs", Kw::Border},
    {"brdrth", Kw::Border},
    {"bullet", Kw::Character, u'\u2022'},
    {"buptim", Kw::SkipDestination},
    {"cb", Kw::Highlight},
    {"cell", Kw::Cell},
    {"cellx", Kw::CellEdge},
    {"cf", Kw::Color},
    {"clmgf", Kw::CellMerge, 1},
    {"clmrg", Kw::CellMerge, 2},
    {"clvmgf", Kw::CellMerge, 4},
    {"clvmrg", Kw::CellMerge, 8},
    {"chcbpat", Kw::Highlight},
    {"chftn", Kw::FootnoteMark},
    {"colorschememapping", Kw::SkipDestination},
    {"colortbl", Kw::ColorTable},
    {"comment", Kw::SkipDestination},
    {"company", Kw::SkipDestination},
    {"cpg", Kw::FontCodePage},
    {"creatim", Kw::SkipDestination},
    {"datastore", Kw::SkipDestination},
    {"deff", Kw::DefaultFont},
    {"do", Kw::SkipDestination},
    {"doccomm", Kw::SkipDestination},
    {"docvar", Kw::SkipDestination},
    {"emdash", Kw::Character, u'\u2014'},
    {"emspace", Kw::Character, u'\u2003'},
    {"endash", Kw::Character, u'\u2013'},
    {"enspace", Kw::Character, u'\u2002'},
    {"f", Kw::Font},
    {"falt", Kw::SkipDestination},
    {"fcharset", Kw::FontCharset},
    {"fdecor", Kw::FontFamily, char16_t(QFont::Decorative)},
    {"fi", Kw::FirstIndent},
    {"filetbl", Kw::SkipDestination},
    {"fldinst", Kw::FieldInstruction},
    {"fldrslt", Kw::FieldResult},
    {"fmodern", Kw::FontFamily, char16_t(QFont::TypeWriter)},
    {"fname", Kw::SkipDestination},
    {"fnil", Kw::FontFamily, char16_t(QFont::AnyStyle)},
    {"fonttbl", Kw::FontTable},
    {"footer", Kw::SkipDestination},
    {"footerf", Kw::SkipDestination},
    {"footerl", Kw::SkipDestination},
    {"footerr", Kw::SkipDestination},
    {"footnote", Kw::SkipDestination},
    {"froman", Kw::FontFamily, char16_t(QFont::Serif)},
    {"fs", Kw::FontSize},
    {"fscript", Kw::FontFamily, char16_t(QFont::Cursive)},
    {"fswiss", Kw::FontFamily, char16_t(QFont::SansSerif)},
    {"ftech", Kw::FontFamily, char16_t(QFont::Fantasy)},
    {"ftncn", Kw::SkipDestination},
    {"ftnsep", Kw::SkipDestination},
    {"ftnsepc", Kw::SkipDestination},
    {"generator", Kw::SkipDestination},
    {"green", Kw::Green},
    {"header", Kw::SkipDestination},
    {"headerf", Kw::SkipDestination},
    {"headerl", Kw::SkipDestination},
    {"headerr", Kw::SkipDestination},
    {"highlight", Kw::Highlight},
    {"i", Kw::Italic},
    {"ilvl", Kw::ListLevelIndex},
    {"info", Kw::SkipDestination},
    {"intbl", Kw::InTable},
    {"itap", Kw::Nesting},
    {"keywords", Kw::SkipDestination},
    {"latentstyles", Kw::SkipDestination},
    {"ldblquote", Kw::Character, u'\u201C'},
    {"levelnfc", Kw::LevelNfc},
    {"levelnfcn", Kw::LevelNfc},
    {"levelnumbers", Kw::SkipDestination},
    {"levelstartat", Kw::LevelStart},
    {"leveltext", Kw::SkipDestination},
    {"lfolevel", Kw::SkipDestination},
    {"li", Kw::LeftIndent},
    {"lin", Kw::LeftIndent},
    {"line", Kw::Line},
    {"list", Kw::ListGroup},
    {"listid", Kw::ListId},
    {"listlevel", Kw::ListLevelGroup},
    {"listname", Kw::SkipDestination},
    {"listoverride", Kw::ListOverrideGroup},
    {"listoverridetable", Kw::ListOverrideTable},
    {"listpicture", Kw::SkipDestination},
    {"listtable", Kw::ListTable},
    {"listtext", Kw::ListLabel},
    {"lquote", Kw::Character, u'\u2018'},
    {"ls", Kw::ListStyle},
    {"ltrmark", Kw::Character, u'\u200E'},
    {"mac", Kw::Mac},
    {"mmathPr", Kw::SkipDestination},
    {"nestcell", Kw::NestCell},
    {"nestrow", Kw::NestRow},
    {"nesttableprops", Kw::NestTableProps},
    {"nonesttables", Kw::SkipDestination},
    {"nonshppict", Kw::SkipDestination},
    {"nosupersub", Kw::NoSuperSub},
    {"objclass", Kw::SkipDestination},
    {"objdata", Kw::SkipDestination},
    {"objname", Kw::SkipDestination},
    {"objtime", Kw::SkipDestination},
    {"operator", Kw::SkipDestination},
    {"page", Kw::Page},
    {"panose", Kw::SkipDestination},
    {"par", Kw::Par},
    {"pard", Kw::Pard},
    {"passwordhash", Kw::SkipDestination},
    {"pc", Kw::Pc},
    {"pca", Kw::Pca},
    {"pgdsctbl", Kw::SkipDestination},
    {"pict", Kw::Picture},
    {"plain", Kw::Plain},
    {"pn", Kw::Pn},
    {"pndec", Kw::PnStyle, char16_t(QTextListFormat::ListDecimal)},
    {"pnlcltr", Kw::PnStyle, char16_t(QTextListFormat::ListLowerAlpha)},
    {"pnlcrm", Kw::PnStyle, char16_t(QTextListFormat::ListLowerRoman)},
    {"pnlvl", Kw::PnLevel},
    {"pnlvlblt", Kw::PnBullet},
    {"pnlvlbody", Kw::PnBody},
    {"pnseclvl", Kw::SkipDestination},
    {"pnstart", Kw::PnStart},
    {"pntext", Kw::ListLabel},
    {"pntxta", Kw::PnTextAfter},
    {"pntxtb", Kw::PnTextBefore},
    {"pnucltr", Kw::PnStyle, char16_t(QTextListFormat::ListUpperAlpha)},
    {"pnucrm", Kw::PnStyle, char16_t(QTextListFormat::ListUpperRoman)},
    {"printim", Kw::SkipDestination},
    {"private", Kw::SkipDestination},
    {"protusertbl", Kw::SkipDestination},
    {"qc", Kw::AlignCenter},
    {"qd", Kw::AlignJustify},
    {"qj", Kw::AlignJustify},
    {"ql", Kw::AlignLeft},
    {"qmspace", Kw::Character, u'\u2005'},
    {"qr", Kw::AlignRight},
    {"rdblquote", Kw::Character, u'\u201D'},
    {"red", Kw::Red},
    {"revtbl", Kw::SkipDestination},
    {"revtim", Kw::SkipDestination},
    {"ri", Kw::RightIndent},
    {"rin", Kw::RightIndent},
    {"row", Kw::Row},
    {"rquote", Kw::Character, u'\u2019'},
    {"rsidtbl", Kw::SkipDestination},
    {"rtlmark", Kw::Character, u'\u200F'},
    {"sa", Kw::SpaceAfter},
    {"sb", Kw::SpaceBefore},
    {"sect", Kw::Page},
    {"shpinst", Kw::SkipDestination},
    {"sl", Kw::LineSpacing},
    {"slmult", Kw::LineMultiple},
    {"sn", Kw::SkipDestination},
    {"sp", Kw::SkipDestination},
    {"strike", Kw::Strike},
    {"strikedl", Kw::Strike},
    {"stylesheet", Kw::SkipDestination},
    {"sub", Kw::Sub},
    {"subject", Kw::SkipDestination},
    {"super", Kw::Super},
    {"sv", Kw::SkipDestination},
    {"tab", Kw::Tab},
    {"tc", Kw::SkipDestination},
    {"template", Kw::SkipDestination},
    {"themedata", Kw::SkipDestination},
    {"title", Kw::SkipDestination},
    {"trowd", Kw::RowDefaults},
    {"txe", Kw::SkipDestination},
    {"u", Kw::Unicode},
    {"uc", Kw::UnicodeSkip},
    {"ul", Kw::Underline},
    {"uld", Kw::Underline},
    {"uldash", Kw::Underline},
    {"uldashd", Kw::Underline},
    {"uldashdd", Kw::Underline},
    {"uldb", Kw::Underline},
    {"ulhwave", Kw::Underline},
    {"ulldash", Kw::Underline},
    {"ulnone", Kw::UnderlineNone},
    {"ulth", Kw::Underline},
    {"ulthd", Kw::Underline},
    {"ulthdash", Kw::Underline},
    {"ulthdashd", Kw::Underline},
    {"ulthdashdd", Kw::Underline},
    {"ulthldash", Kw::Underline},
    {"ululdbwave", Kw::Underline},
    {"ulw", Kw::Underline},
    {"ulwave", Kw::Underline},
    {"userprops", Kw::SkipDestination},
    {"v", Kw::Hidden},
    {"xe", Kw::SkipDestination},
    {"xmlnstbl", Kw::SkipDestination},
    {"zwj", Kw::Character, u'\u200D'},
    {"zwnj", Kw::Character, u'\u200C'},
};

const KeywordEntry* findKeyword(std::string_view word) {
    static const std::unordered_map<std::string_view, const KeywordEntry*> table = [] {
        std::unordered_map<std::string_view, const KeywordEntry*> t;
        for (const KeywordEntry& e : kKeywords)
            t.emplace(e.name, &e);
        return t;
    }();
    const auto it = table.find(word);
    return it == table.end() ? nullptr : it->second;
}

constexpr bool isAsciiLetter(char16_t c) {
    return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}
constexpr bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return 437;
    default:
        return 0; // 1 (default charset) and unknown ones: the document's code page
    }
}

// The code pages Windows documents name; any other number reads as Windows-1252, which also keeps
// the number of decoders a hostile document can ask for small.
int knownCodePage(int cp) {
    static constexpr int kKnown[] = {437,  708,  720,  737,  775,   850,   852,
                                     855,  857,  860,  861,  862,   863,   864,
                                     865,  866,  869,  874,  932,   936,   949,
                                     950,  1250, 1251, 1252, 1253,  1254,  1255,
                                     1256, 1257, 1258, 1361, 10000, 65001, kSymbolCodePage};
    return std::find(std::begin(kKnown), std::end(kKnown), cp) != std::end(kKnown) ? cp : 1252;
}

bool isDoubleByteCodePage(int cp) {
    return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 1361;
}

bool isLeadByte(int cp, uchar b) {
    if (cp == 932)
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return isDoubleByteCodePage(cp) && b >= 0x81 && b <= 0xFE;
}

// Decoders by code page, created when first needed.
class Decoders {
  public:
    QString decode(int cp, QByteArrayView bytes) {
        if (cp == kSymbolCodePage) {
            QString out = QString::fromLatin1(bytes);
            out.replace(QChar(0xB7), QChar(0x2022)); // the bullet WordPad and Word put in list labels
            return out;
        }
        return decoder(cp).decode(bytes);
    }

  private:
    QStringDecoder& decoder(int cp) {
        for (auto& [page, dec] : cache)
            if (page == cp)
                return *dec;
        auto dec = std::make_unique<QStringDecoder>(create(cp));
        cache.emplace_back(cp, std::move(dec));
        return *cache.back().second;
    }
    static QStringDecoder create(int cp) {
        const auto flags = QStringDecoder::Flag::Stateless;
        if (cp == 65001)
            return QStringDecoder(QStringDecoder::Utf8, flags);
        std::vector<QByteArray> names;
        if (cp == 10000)
            names.push_back("macintosh");
        if (cp == 1361) // Johab is missing from ICU; Korean text then comes out as Windows-949 would
            names.push_back("windows-949");
        names.push_back("windows-" + QByteArray::number(cp));
        names.push_back("IBM" + QByteArray::number(cp));
        names.push_back("cp" + QByteArray::number(cp));
        names.push_back("windows-1252");
        for (const QByteArray& name : names) {
            QStringDecoder dec(name.constData(), flags);
            if (dec.isValid())
                return dec;
        }
        return QStringDecoder(QStringDecoder::Latin1, flags);
    }
    std::vector<std::pair<int, std::unique_ptr<QStringDecoder>>> cache;
};

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    QTextCharFormat::VerticalAlignment script = QTextCharFormat::AlignNormal;
    int color = 0;     // index into the colour table
    int highlight = 0; // index into the colour table; 0: none
    int font = -1;     // -1: the document's default font
    int halfPoints = 24;
    int link = -1; // index into the links read so far
    bool operator==(const CharProps&) const = default;
};

// A paragraph's list membership as \pn or \ls gives it.
struct ListProps {
    int style = 0; // a QTextListFormat::Style; 0: not in a list
    int level = 0;
    int start = 1;
    int ls = 0; // Word's list number, which tells lists of the same style apart
    QString prefix, suffix;
    bool pn = false; // given by \pn, whose labels Word's list beside it leaves as they are
    bool operator==(const ListProps&) const = default;
};

struct ParaProps {
    Qt::Alignment align = Qt::AlignLeft;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0; // twips
    int spaceBefore = 0, spaceAfter = 0;
    int lineSpacing = 0; // \sl: 0 single, > 0 at least, < 0 exactly, or 240ths of a line with \slmult
    bool lineMultiple = false;
    bool inTable = false;
    int nesting = 0; // \itap: the depth of the table the paragraph is in
    ListProps list;
    bool operator==(const ParaProps&) const = default;
};

// The depth of the table a paragraph is in; 0 outside tables.
int tableLevel(const ParaProps& p) {
    return p.inTable ? std::max(p.nesting, 1) : 0;
}

enum class Dest : quint8 {
    Text,
    FontTable,
    ColorTable,
    PnTextBefore,
    PnTextAfter,
    FieldInstruction,
    ListTable,
    ListOverrideTable,
    Picture
};

enum class PictureKind : quint8 { Other, Png, Jpeg, Dib, Wmf };

struct Picture {
    PictureKind kind = PictureKind::Other;
    int width = 0, height = 0;         // \picw, \pich: pixels, or 0.01 mm for metafiles
    int goalWidth = 0, goalHeight = 0; // twips
    int scaleX = 100, scaleY = 100;
    QString header;
    QByteArray data;
};

struct GroupState {
    CharProps chr;
    ParaProps para;
    int unicodeSkip = 1;
    Dest dest = Dest::Text;
    bool label = false;     // inside \pntext or \listtext
    bool pn = false;        // inside \pn, whose settings outlast its group
    bool nestedRow = false; // inside \nesttableprops, which defines a row of a table in a cell
};

struct RunFormat {
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    QTextCharFormat::VerticalAlignment script = QTextCharFormat::AlignNormal;
    QColor color;      // invalid: automatic
    QColor background; // invalid: none
    QString family;
    int charset = -1;
    int familyHint = QFont::AnyStyle;
    double pointSize = 12;
    QString anchor;
    bool operator==(const RunFormat&) const = default;
};

// How a cell merges with its neighbours: \clmgf, \clmrg, \clvmgf, \clvmrg.
enum CellMerge : quint8 { MergeFirst = 1, MergeNext = 2, MergeFirstDown = 4, MergeNextDown = 8 };

// A table row's definition: each cell's right edge in twips and how it merges.
struct RowDefinition {
    std::vector<int> edges;
    std::vector<quint8> merges; // CellMerge flags, one a cell
    bool borders = false;
};

class Sink {
  public:
    virtual ~Sink() = default;
    virtual void text(const QString& text, const RunFormat& format) = 0;
    // `format` is the character format in effect, for an empty paragraph's mark.
    virtual void endParagraph(const ParaProps& para, const RunFormat& format) = 0;
    // The text after the last paragraph mark; not called when there is none.
    virtual void lastParagraph(const ParaProps& para) = 0;
    virtual bool wantsFormats() const { return true; }
    // A list's label as text: the document draws its own labels, plain text has only these.
    virtual bool wantsLabels() const { return false; }
    virtual void picture(const Picture&, const RunFormat&) {}
    // Table cells and rows, of the table at `level` (1 the outermost): a cell's paragraphs are
    // ended before it. Sinks that take cells apart from paragraphs get these; plain text
    // separates cells with tabs instead.
    virtual bool wantsCells() const { return false; }
    virtual void endCell(int /*level*/) {}
    virtual void endRow(int /*level*/, const RowDefinition& /*definition*/) {}
};

// A device-independent bitmap (a BITMAPINFOHEADER and its bits) as a .bmp file.
QByteArray bmpFile(QByteArrayView dib) {
    if (dib.size() < 40)
        return {};
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.data());
    const quint16 bits = qFromLittleEndian<quint16>(dib.data() + 14);
    quint32 colors = headerSize >= 36 ? qFromLittleEndian<quint32>(dib.data() + 32) : 0;
    if (colors == 0 && bits <= 8)
        colors = 1u << bits;
    if (headerSize < 12 || headerSize > quint32(dib.size()) || colors > 256)
        return {};
    const quint32 offset = 14 + headerSize + colors * 4;
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(offset, file.data() + 10);
    file += dib;
    return file;
}

// The bitmap of a Windows metafile that holds one StretchDIBits or DIBStretchBlt record and draws
// nothing else, as WordPad writes pictures; empty for any other metafile.
QByteArray metafileBitmap(QByteArrayView wmf) {
    // The records that put something on the page (lines, shapes, fills, text, other bitmaps and
    // bitmap brushes), sorted; the rest only set up the drawing.
    static constexpr quint16 kDrawing[] = {0x012A, 0x012B, 0x0142, 0x01F9, 0x0213, 0x0228, 0x0324,
                                           0x0325, 0x0418, 0x0419, 0x041B, 0x041F, 0x0429, 0x0521,
                                           0x0538, 0x0548, 0x061C, 0x061D, 0x0817, 0x081A, 0x0830,
                                           0x0922, 0x0940, 0x0A32, 0x0B23, 0x0D33};
    static_assert(std::is_sorted(std::begin(kDrawing), std::end(kDrawing)));
    if (wmf.size() < 18)
        return {};
    qsizetype at = qsizetype(qFromLittleEndian<quint16>(wmf.data() + 2)) * 2; // the header's size
    QByteArrayView found;
    int bitmaps = 0;
    while (at + 6 <= wmf.size()) {
        const qint64 size = qint64(qFromLittleEndian<quint32>(wmf.data() + at)) * 2;
        const quint16 function = qFromLittleEndian<quint16>(wmf.data() + at + 4);
        if (size < 6 || at + size > wmf.size() || function == 0)
            break;
        const qsizetype params = function == 0x0F43 ? 22 : function == 0x0B41 ? 20 : -1;
        if (params >= 0) {
            ++bitmaps;
            if (size > 6 + params)
                found = wmf.sliced(at + 6 + params, size - 6 - params);
        } else if (std::binary_search(std::begin(kDrawing), std::end(kDrawing), function)) {
            return {}; // it draws more than the bitmap, which alone would misrepresent it
        }
        at += size;
    }
    return bitmaps == 1 ? bmpFile(found) : QByteArray();
}

QByteArray pictureFile(const Picture& p) {
    switch (p.kind) {
    case PictureKind::Png:
    case PictureKind::Jpeg:
        return p.data;
    case PictureKind::Dib:
        return bmpFile(p.data);
    case PictureKind::Wmf:
        return metafileBitmap(p.data);
    case PictureKind::Other:
        break;
    }
    return {};
}

// Collects the text and its runs, then fills the document in few steps: one insertion of the
// whole text in the most used format, then the other formats and the paragraph formats over their
// ranges. Inserting run by run costs several times as much for a heavily formatted note.
class DocumentSink final : public Sink {
  public:
    explicit DocumentSink(QTextDocument& doc) : doc(doc) {}
    void text(const QString& text, const RunFormat& f) override {
        startBlock();
        if (runs.size() >= kMaxRuns) {
            // Past the limit the text takes the format of the run before: the text stays, and
            // the time and memory to build the document stay bounded.
            all += text;
            runs.back().length = int(all.size()) - runs.back().start;
            return;
        }
        const int index = formatIndex(f);
        if (!runs.empty() && runs.back().format == index &&
            runs.back().start + runs.back().length == all.size())
            runs.back().length += int(text.size());
        else
            runs.push_back({int(all.size()), int(text.size()), index});
        all += text;
    }
    void endParagraph(const ParaProps& para, const RunFormat& f) override {
        startBlock();
        formatIndex(f); // a document of empty paragraphs still needs a format for them
        lastParagraph(para);
        blockPending = true;
    }
    bool wantsCells() const override { return true; }
    void endCell(int level) override {
        Level& at = open(level);
        if (tables.size() < kMaxTables)
            at.cells.emplace_back(cellFirst[std::size_t(level)], paragraph);
        restart(level - 1);
    }
    void endRow(int level, const RowDefinition& definition) override {
        Level& at = open(level);
        if (!at.cells.empty())
            at.rows.push_back({std::move(at.cells), definition});
        at.cells.clear();
        restart(level - 1);
    }
    void lastParagraph(const ParaProps& para) override {
        // A paragraph ends the tables deeper than its own.
        const int level = std::min(tableLevel(para), kMaxNesting);
        close(level);
        restart(level);
        ParaProps format = para; // being in a table is no format of its own
        format.inTable = false;
        format.nesting = 0;
        if (!(format == ParaProps()) && paragraphs.size() < kMaxRuns &&
            (paragraphs.empty() || paragraphs.back().first != paragraph))
            paragraphs.emplace_back(paragraph, para);
    }

    void picture(const Picture& pic, const RunFormat& f) override {
        startBlock();
        if (runs.size() >= kMaxRuns)
            return;
        QTextImageFormat fmt = charFormat(f).toImageFormat();
        if (!fmt.isValid()) {
            fmt = QTextImageFormat();
            fmt.merge(charFormat(f));
        }
        // Unique in the process, so a picture pasted from one document into another keeps its own.
        static std::atomic<quint64> pictures{0};
        const QString name = QStringLiteral("rtfpicture:%1").arg(++pictures);
        fmt.setName(name);
        const QSizeF size = pictureSize(pic);
        fmt.setWidth(size.width());
        fmt.setHeight(size.height());
        fmt.setProperty(rtf::PictureHeader, pic.header);
        fmt.setProperty(rtf::PictureData, pic.data);
        // Bitmaps go in as files for Qt's own decoders, read when first drawn: opening a note
        // with many pictures costs no decoding.
        QByteArray file = pictureFile(pic);
        if (file.isEmpty())
            doc.addResource(QTextDocument::ImageResource, QUrl(name), placeholder(size));
        else
            doc.addResource(QTextDocument::ImageResource, QUrl(name), file);
        runs.push_back({int(all.size()), 1, int(formats.size())});
        formats.push_back(fmt);
        lastIndex = -1;
        all += QChar::ObjectReplacementCharacter;
    }

    void build() {
        QTextCursor cursor(&doc);
        cursor.beginEditBlock();
        std::vector<qint64> used(formats.size());
        for (const Run& run : runs)
            used[std::size_t(run.format)] += run.length;
        const int base =
            formats.empty() ? -1 : int(std::max_element(used.begin(), used.end()) - used.begin());
        if (base >= 0) {
            cursor.setBlockCharFormat(formats[std::size_t(base)]);
            cursor.insertText(all, formats[std::size_t(base)]);
        }
        for (const Run& run : runs) {
            if (run.format == base)
                continue;
            cursor.setPosition(run.start);
            cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
            cursor.setCharFormat(formats[std::size_t(run.format)]);
        }
        // Consecutive paragraphs of the same list form one list; a paragraph outside lists ends
        // them all, so a later list numbers afresh, and so does a table's cell, its start and its end.
        // Lists are told apart by what the file shows of them (and what is written back): their
        // style, labels and indent, which also tells the levels of a nested list apart.
        close(0);
        std::set<int> cellEdges; // the first paragraph of each cell and the one after it
        for (const Table& table : tables)
            for (const Row& row : table)
                for (const auto& [from, to] : row.cells) {
                    cellEdges.insert(from);
                    cellEdges.insert(to + 1);
                }
        std::map<std::tuple<int, int, QString, QString, int, int>, QTextList*> open;
        int previous = -2;
        for (const auto& [number, para] : paragraphs) {
            QTextCursor at(doc.findBlockByNumber(number));
            at.setBlockFormat(blockFormat(para));
            if (number != previous + 1 || cellEdges.count(number))
                open.clear();
            previous = para.list.style != 0 ? number : -2;
            if (para.list.style == 0)
                continue;
            // A bullet has no number to start at.
            const int start = rtf::isBulletStyle(para.list.style) ? 1 : para.list.start;
            const int level = std::clamp(para.list.level, 0, 8);
            const auto key = std::make_tuple(para.list.style, para.leftIndent, para.list.prefix,
                                             para.list.suffix, start, level);
            // An item ends the lists of the levels below it: a later one there numbers afresh.
            std::erase_if(open, [level](const auto& entry) { return std::get<5>(entry.first) > level; });
            if (auto it = open.find(key); it != open.end()) {
                it->second->add(at.block());
                continue;
            }
            QTextListFormat lf = rtf::numberedListFormat(QTextListFormat::Style(para.list.style), start);
            if (level > 0)
                lf.setProperty(rtf::ListLevel, level);
            lf.setIndent(0); // the paragraph's own indent places it, as in the file
            lf.setNumberPrefix(para.list.prefix);
            lf.setNumberSuffix(para.list.suffix);
            open[key] = at.createList(lf);
        }
        // Last table first, so the paragraph numbers of those before stay valid, and a table in a
        // cell before the table around it, whose cell then takes it whole; the numbers after it in
        // the tables around it move by the paragraphs building it added or took.
        std::vector<std::size_t> order(tables.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        const auto firstOf = [this](std::size_t i) { return tables[i].front().cells.front().first; };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return firstOf(a) != firstOf(b) ? firstOf(a) > firstOf(b) : depths[a] > depths[b];
        });
        for (std::size_t i = 0; i < order.size(); ++i) {
            const std::size_t built = order[i];
            const int last = tables[built].back().cells.back().second;
            const int before = doc.blockCount();
            buildTable(tables[built]);
            const int moved = doc.blockCount() - before;
            if (depths[built] == 1)
                continue;
            // The table around it finds it by its frame, which Qt makes when an edit ends.
            cursor.endEditBlock();
            cursor.beginEditBlock();
            if (moved == 0)
                continue;
            for (std::size_t j = i + 1; j < order.size(); ++j) {
                Table& around = tables[order[j]];
                if (depths[order[j]] >= depths[built] || around.back().cells.back().second < last)
                    continue;
                for (Row& row : around)
                    for (auto& [from, to] : row.cells) {
                        if (from > last)
                            from += moved;
                        if (to >= last)
                            to += moved;
                    }
            }
        }
        cursor.endEditBlock();
        if (!tables.empty())
            relist();
    }

    // Where a paragraph is: in which cell of which table, or outside tables.
    static std::tuple<const QTextTable*, int, int> place(const QTextBlock& b) {
        const QTextTable* table = QTextCursor(b).currentTable();
        if (!table)
            return std::make_tuple(table, -1, -1);
        const QTextTableCell cell = table->cellAt(b.position());
        return std::make_tuple(table, cell.row(), cell.column());
    }

    // The lists as reading the written note makes them again: consecutive items in one place (a
    // cell, or the text outside tables) that look the same are one list, an item ends the lists of
    // the levels below it, and any other item starts a list of its own. Building the tables moves
    // paragraphs into cells, and items of one list may come apart or together there: the items of
    // a cell's text and those of a merged cell's text put after it, an item before a table and one
    // in its cell.
    void relist() {
        const auto key = [](const QTextBlock& b) {
            const QTextListFormat f = b.textList()->format();
            return std::make_tuple(f.property(rtf::ListLevel).toInt(), int(f.style()), f.numberPrefix(),
                                   f.numberSuffix(), b.blockFormat().leftMargin(),
                                   f.property(rtf::ListNumberStyle).toInt(),
                                   f.property(rtf::ListStart).toInt());
        };
        std::map<decltype(key(doc.begin())), QTextList*> open;
        std::set<QTextList*> used;
        auto openPlace = place(doc.begin());
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            QTextList* list = block.textList();
            const auto at = place(block);
            if (!list || at != openPlace)
                open.clear(), openPlace = at;
            if (!list)
                continue;
            const auto look = key(block);
            const int level = std::get<0>(look);
            std::erase_if(open, [level](const auto& entry) { return std::get<0>(entry.first) > level; });
            if (const auto it = open.find(look); it != open.end()) {
                if (it->second != list)
                    it->second->add(block);
                continue;
            }
            if (used.insert(list).second) {
                open[look] = list;
                continue;
            }
            QTextList* own = QTextCursor(block).createList(list->format());
            open[look] = own;
            used.insert(own);
        }
    }

  private:
    struct Run {
        int start;
        int length;
        int format;
    };
    using Key = std::tuple<bool, bool, bool, bool, bool, int, QRgb, bool, QRgb, bool, QString, int, int,
                           double, QString>;

    struct Row {
        std::vector<std::pair<int, int>> cells; // first and last paragraph
        RowDefinition definition;
    };
    using Table = std::vector<Row>;

    // The rows and cells read so far of a table and of each table in its cells.
    struct Level {
        std::vector<std::pair<int, int>> cells;
        std::vector<Row> rows;
    };
    // The table at `level`, after those deeper than it are ended.
    Level& open(int level) {
        close(level);
        while (int(levels.size()) < level)
            levels.emplace_back();
        return levels[std::size_t(level - 1)];
    }
    // Ends the tables deeper than `level`; a table whose cells do not follow each other is not built.
    void close(int level) {
        while (int(levels.size()) > level) {
            Level& at = levels.back();
            if (!at.rows.empty() && wellFormed(at.rows)) {
                tables.push_back(std::move(at.rows));
                depths.push_back(int(levels.size()));
            }
            levels.pop_back();
        }
    }
    // The next cells of the tables deeper than `level` start after this paragraph.
    void restart(int level) {
        for (int i = level + 1; i <= kMaxNesting; ++i)
            cellFirst[std::size_t(i)] = paragraph + 1;
    }

    // Cells in order, each of paragraphs of its own, with no paragraph between them.
    static bool wellFormed(const Table& table) {
        int next = table.front().cells.front().first;
        for (const Row& row : table)
            for (const auto& [from, to] : row.cells) {
                if (from != next || to < from)
                    return false;
                next = to + 1;
            }
        return true;
    }

    // A cell of the built table: its place, its span, and the cells of the file whose text it
    // holds (a merged cell's text joins the cell it merges into, so none is lost).
    struct Span {
        int row = 0, column = 0, rows = 1, columns = 1;
        std::vector<std::pair<int, int>> parts; // row and cell in the file
    };
    struct Layout {
        int columns = 0;
        std::vector<int> edges; // each column's right edge in twips; empty when the rows give none
        std::vector<Span> spans;
    };

    // Where each cell of the file goes. The columns are the distinct right edges of all rows, so
    // a cell that ends at a later edge than the cells above spans the columns between; without
    // usable edges each cell takes a column. \clmrg joins a cell to the one before it, \clvmrg to
    // the one above that has the same columns; a row shorter than the table ends with a cell as
    // wide as the rest.
    static Layout layout(const Table& table) {
        constexpr std::size_t kMaxColumns = 64;
        Layout out;
        const auto usable = [](const Row& row) {
            const std::vector<int>& e = row.definition.edges;
            if (e.size() < row.cells.size())
                return false;
            for (std::size_t i = 1; i < row.cells.size(); ++i)
                if (e[i] <= e[i - 1])
                    return false;
            return true;
        };
        // Cells joined across by \clmrg first: the columns are where the joined cells end.
        struct Merged {
            int edge, column = 0, end = 0;
            quint8 merge;
            std::vector<std::pair<int, int>> parts;
        };
        const bool byEdges = std::all_of(table.begin(), table.end(), usable);
        std::vector<std::vector<Merged>> rows;
        int right = 0;
        for (int r = 0; r < int(table.size()); ++r) {
            const Row& row = table[std::size_t(r)];
            std::vector<Merged>& merged = rows.emplace_back();
            for (int i = 0; i < int(row.cells.size()); ++i) {
                const int edge = byEdges ? row.definition.edges[std::size_t(i)] : 0;
                const quint8 merge =
                    std::size_t(i) < row.definition.merges.size() ? row.definition.merges[std::size_t(i)] : 0;
                if ((merge & MergeNext) && !merged.empty()) {
                    merged.back().edge = edge;
                    merged.back().parts.emplace_back(r, i);
                } else {
                    merged.push_back({edge, 0, 0, merge, {{r, i}}});
                }
            }
            // A row's last cell reaches the table's right edge, wherever the row says it ends.
            if (byEdges && !merged.empty()) {
                for (std::size_t i = 0; i + 1 < merged.size(); ++i)
                    out.edges.push_back(merged[i].edge);
                right = std::max(right, merged.back().edge);
            }
            out.columns = std::max(out.columns, int(merged.size()));
        }
        if (byEdges)
            out.edges.push_back(right);
        std::sort(out.edges.begin(), out.edges.end());
        out.edges.erase(std::unique(out.edges.begin(), out.edges.end()), out.edges.end());
        if (out.edges.size() > kMaxColumns)
            out.edges.clear();
        if (!out.edges.empty())
            out.columns = int(out.edges.size());

        std::vector<int> above(std::size_t(out.columns), -1); // the span starting at a column, by row
        for (int r = 0; r < int(table.size()); ++r) {
            std::vector<Merged>& merged = rows[std::size_t(r)];
            int column = 0;
            for (Merged& m : merged) {
                m.column = column;
                m.end = out.edges.empty() ? column + 1
                                          : int(std::lower_bound(out.edges.begin(), out.edges.end(), m.edge) -
                                                out.edges.begin()) +
                                                1;
                column = m.end;
            }
            if (!merged.empty())
                merged.back().end = out.columns;
            std::vector<int> here(std::size_t(out.columns), -1);
            for (Merged& m : merged) {
                const int up = above[std::size_t(m.column)];
                if ((m.merge & MergeNextDown) && up >= 0) {
                    Span& s = out.spans[std::size_t(up)];
                    if (s.column + s.columns == m.end && s.row + s.rows == r) {
                        ++s.rows;
                        s.parts.insert(s.parts.end(), m.parts.begin(), m.parts.end());
                        here[std::size_t(m.column)] = up;
                        continue;
                    }
                }
                here[std::size_t(m.column)] = int(out.spans.size());
                out.spans.push_back({r, m.column, 1, m.end - m.column, std::move(m.parts)});
            }
            above = std::move(here);
        }
        return out;
    }

    // The table's paragraphs, so far plain paragraphs of the document, move into its cells.
    void buildTable(const Table& table) {
        const int first = table.front().cells.front().first;
        const int last = table.back().cells.back().second;
        const Layout shape = layout(table);
        if (shape.columns == 0 || last >= doc.blockCount())
            return;
        const auto blockStart = [this](int number) { return doc.findBlockByNumber(number).position(); };
        const auto blockEnd = [this](int number) {
            const QTextBlock b = doc.findBlockByNumber(number);
            return b.position() + b.length() - 1;
        };
        // A table in a cell is built already; the cell takes it whole.
        const auto tableAround = [this](int number) -> const QTextFrame* {
            const QTextFrame* frame = QTextCursor(doc.findBlockByNumber(number)).currentFrame();
            while (frame && frame->parentFrame() && frame->parentFrame() != doc.rootFrame())
                frame = frame->parentFrame();
            return frame && frame != doc.rootFrame() ? frame : nullptr;
        };
        std::vector<std::vector<std::pair<QTextDocumentFragment, QTextBlockFormat>>> content;
        for (const Row& row : table) {
            auto& out = content.emplace_back();
            for (const auto& [from, to] : row.cells) {
                QTextCursor c(&doc);
                const QTextFrame* startsIn = tableAround(from);
                const QTextFrame* endsIn = tableAround(to);
                // From the end of the paragraph before: a selection from the table's own start
                // loses its first cell.
                c.setPosition(startsIn && from > 0 ? blockEnd(from - 1) : blockStart(from));
                c.setPosition(endsIn ? endsIn->lastPosition() + 1 : blockEnd(to), QTextCursor::KeepAnchor);
                // A cell that starts with a table has Qt's plain paragraph before it, not the
                // table's first paragraph, whose list it would join.
                out.emplace_back(c.selection(),
                                 startsIn ? QTextBlockFormat() : doc.findBlockByNumber(from).blockFormat());
            }
        }
        // A table built already may follow at once: its frame is no paragraph that can take the
        // place of Qt's one after this table (which stays a plain one between the two), and a
        // selection into it would cut the frame.
        const bool followed = last + 1 < doc.blockCount();
        const bool hasNext = followed && doc.characterAt(blockEnd(last)) == QChar::ParagraphSeparator;
        // Qt's edits around the table may hand the paragraph after it another one's format.
        const QTextBlockFormat nextFormat =
            hasNext ? doc.findBlockByNumber(last + 1).blockFormat() : QTextBlockFormat();
        // And an empty paragraph before it the format of the table's first one.
        const QTextBlockFormat previousFormat =
            first > 0 ? doc.findBlockByNumber(first - 1).blockFormat() : QTextBlockFormat();
        QTextCursor at(&doc);
        if (first > 0) {
            at.setPosition(blockEnd(first - 1));
            at.setPosition(blockEnd(last), QTextCursor::KeepAnchor);
        } else {
            at.setPosition(0);
            at.setPosition(hasNext ? blockStart(last + 1) : blockEnd(last), QTextCursor::KeepAnchor);
        }
        at.removeSelectedText();
        QTextTableFormat tf;
        std::vector<int> edges = shape.edges;
        if (edges.empty()) {
            const Row& widest = *std::max_element(table.begin(), table.end(), [](const Row& a, const Row& b) {
                return a.cells.size() < b.cells.size();
            });
            edges = widest.definition.edges;
        }
        // No column wider than the writer writes (22 inches), so widths read back as written.
        QList<QTextLength> widths;
        int left = 0;
        for (const int edge : edges) {
            widths << QTextLength(QTextLength::FixedLength,
                                  std::clamp(edge - left, 15, 31680) / Twips::kPerDesignPixel);
            left = edge;
        }
        if (widths.size() == shape.columns)
            tf.setColumnWidthConstraints(widths);
        const bool borders =
            std::any_of(table.begin(), table.end(), [](const Row& r) { return r.definition.borders; });
        tf.setBorder(borders ? 1 : 0);
        tf.setBorderStyle(borders ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
        tf.setBorderCollapse(true);
        tf.setCellSpacing(0);
        tf.setCellPadding(2);
        tf.setAlignment(Qt::AlignLeft);
        QTextTable* qt = at.insertTable(int(table.size()), shape.columns, tf);
        QTextCursor before(&doc);
        if (first > 0)
            before.setPosition(qt->firstPosition() - 1);
        before.setBlockFormat(previousFormat);
        // Qt puts a paragraph after the table; the one that followed in the note takes its place.
        QTextCursor after(&doc);
        after.setPosition(qt->lastPosition() + 1);
        if (first > 0 && hasNext)
            after.deleteChar();
        if (followed)
            after.setBlockFormat(nextFormat);
        for (const Span& span : shape.spans) {
            if (span.rows > 1 || span.columns > 1)
                qt->mergeCells(span.row, span.column, span.rows, span.columns);
            const QTextTableCell cell = qt->cellAt(span.row, span.column);
            bool empty = true;
            for (const auto& [r, c] : span.parts) {
                const auto& [fragment, format] = content[std::size_t(r)][std::size_t(c)];
                if (!empty && fragment.isEmpty())
                    continue; // an empty merged cell adds no paragraph
                const auto& [from, to] = table[std::size_t(r)].cells[std::size_t(c)];
                QTextCursor at = cell.lastCursorPosition();
                if (empty)
                    at.setBlockFormat(format);
                else
                    at.insertBlock(format);
                empty = false;
                const int start = at.blockNumber();
                at.insertFragment(fragment);
                // A fragment starting with a list item comes as a paragraph of its own, after
                // the empty one it was put in.
                QTextCursor begin(doc.findBlockByNumber(start));
                if (begin.block().length() == 1 &&
                    cell.lastCursorPosition().blockNumber() - start > to - from)
                    begin.deleteChar();
            }
        }
    }

    static QTextBlockFormat blockFormat(const ParaProps& p) {
        const auto px = [](int twips) { return twips / Twips::kPerDesignPixel; };
        QTextBlockFormat bf;
        bf.setAlignment(p.align);
        if (p.leftIndent)
            bf.setLeftMargin(px(p.leftIndent));
        if (p.rightIndent)
            bf.setRightMargin(px(p.rightIndent));
        if (p.list.style != 0)
            bf.setProperty(rtf::ListFirstIndent, p.firstIndent);
        else if (p.firstIndent)
            bf.setTextIndent(px(p.firstIndent));
        if (p.spaceBefore)
            bf.setTopMargin(px(p.spaceBefore));
        if (p.spaceAfter)
            bf.setBottomMargin(px(p.spaceAfter));
        if (p.lineSpacing > 0 && p.lineMultiple)
            bf.setLineHeight(p.lineSpacing / 2.4, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing > 0)
            bf.setLineHeight(px(p.lineSpacing), QTextBlockFormat::MinimumHeight);
        else if (p.lineSpacing < 0)
            bf.setLineHeight(px(-p.lineSpacing), QTextBlockFormat::FixedHeight);
        return bf;
    }

    void startBlock() {
        if (!blockPending)
            return;
        // Past the limit paragraphs continue as lines of the last one, which keeps the text.
        if (paragraph + 1 < kMaxParagraphs) {
            all += QChar::ParagraphSeparator;
            ++paragraph;
        } else {
            all += QChar::LineSeparator;
        }
        blockPending = false;
    }
    int formatIndex(const RunFormat& f) {
        if (lastIndex >= 0 && f == lastFormat)
            return lastIndex;
        const Key key{f.bold,
                      f.italic,
                      f.underline,
                      f.strike,
                      f.hidden,
                      int(f.script),
                      f.color.rgba(),
                      f.color.isValid(),
                      f.background.rgba(),
                      f.background.isValid(),
                      f.family,
                      f.charset,
                      f.familyHint,
                      f.pointSize,
                      f.anchor};
        auto [it, added] = indexByKey.try_emplace(key, int(formats.size()));
        if (added)
            formats.push_back(charFormat(f));
        lastFormat = f;
        lastIndex = it->second;
        return lastIndex;
    }
    static QTextCharFormat charFormat(const RunFormat& f) {
        QTextCharFormat fmt;
        fmt.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        fmt.setFontItalic(f.italic);
        fmt.setFontUnderline(f.underline);
        if (f.strike)
            fmt.setFontStrikeOut(true);
        if (f.script != QTextCharFormat::AlignNormal)
            fmt.setVerticalAlignment(f.script);
        if (f.color.isValid())
            fmt.setForeground(f.color);
        if (f.background.isValid())
            fmt.setBackground(f.background);
        if (!f.family.isEmpty())
            fmt.setFontFamilies(QStringList{f.family});
        if (f.charset >= 0 && f.charset != 238) // Central European is what the writer assumes
            fmt.setProperty(rtf::FontCharset, f.charset);
        if (f.familyHint != QFont::AnyStyle)
            fmt.setFontStyleHint(QFont::StyleHint(f.familyHint));
        fmt.setFontPointSize(f.pointSize);
        if (!f.anchor.isEmpty()) {
            fmt.setAnchor(true);
            fmt.setAnchorHref(f.anchor);
        }
        if (f.hidden) {
            // QTextDocument cannot leave text out of the layout: a hairline size and no ink come
            // closest, while what the text would look like stays for writing it back.
            fmt.setProperty(rtf::HiddenText, true);
            fmt.setProperty(rtf::HiddenPointSize, f.pointSize);
            if (f.color.isValid())
                fmt.setProperty(rtf::HiddenForeground, f.color);
            fmt.setForeground(QColor(Qt::transparent));
            fmt.setFontPointSize(1);
        }
        return fmt;
    }

    static QSizeF pictureSize(const Picture& p) {
        const bool metafile = p.kind == PictureKind::Wmf || p.kind == PictureKind::Other;
        const auto side = [metafile](int goal, int natural, int scale) {
            double px = goal > 0 ? goal / Twips::kPerDesignPixel : metafile ? natural * 96 / 2540.0 : natural;
            px = px * std::clamp(scale, 1, 1000) / 100.0;
            return std::clamp(px, 1.0, 4000.0);
        };
        return {side(p.goalWidth, p.width, p.scaleX), side(p.goalHeight, p.height, p.scaleY)};
    }
    // A framed box where a picture of a kind the editor cannot draw stays.
    static QImage placeholder(QSizeF size) {
        QImage image(size.toSize().boundedTo(QSize(1000, 1000)), QImage::Format_RGB32);
        image.fill(QColor(240, 240, 240));
        QPainter painter(&image);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
        painter.drawLine(image.rect().topLeft(), image.rect().bottomRight());
        painter.drawLine(image.rect().topRight(), image.rect().bottomLeft());
        return image;
    }

    QTextDocument& doc;
    QString all;
    std::vector<Run> runs;
    std::vector<QTextCharFormat> formats;
    std::map<Key, int> indexByKey;
    RunFormat lastFormat;
    int lastIndex = -1;
    std::vector<std::pair<int, ParaProps>> paragraphs;
    int paragraph = 0;
    bool blockPending = false;
    std::array<int, kMaxNesting + 1> cellFirst{}; // by level: the first paragraph of its next cell
    std::vector<Level> levels;
    std::vector<Table> tables;
    std::vector<int> depths; // each table's level
};

class PlainSink final : public Sink {
  public:
    void text(const QString& text, const RunFormat&) override {
        if (newlinePending)
            out += u'\n';
        newlinePending = false;
        out += text;
    }
    void endParagraph(const ParaProps&, const RunFormat&) override {
        if (newlinePending)
            out += u'\n';
        newlinePending = true;
    }
    void lastParagraph(const ParaProps&) override {}
    bool wantsFormats() const override { return false; }
    bool wantsLabels() const override { return true; }
    QString out;

  private:
    bool newlinePending = false;
};

class Parser {
  public:
    Parser(QStringView input, Sink& sink) : in(input), sink(sink) {}
    void run();

  private:
    struct FontEntry {
        QString name;
        int codePage = 0;
        int charset = -1;
        int hint = QFont::AnyStyle;
    };
    struct WordLevel {
        int style = QTextListFormat::ListDisc;
        int start = 1;
    };

    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(char16_t c);
    void handleKeyword(std::string_view word, bool hasParam, int param);
    void skipGroup();
    void finish();
    void skipBinary(int count);
    bool consumeFallback();
    bool readsDestination() const;
    bool pictureWord(std::string_view word, bool hasParam, int param);
    void pictureHex();

    void textChar(char16_t c);
    void byte(uchar b);
    void flushBytes();
    void emitUnit(char16_t c);
    void emitToDestination(char16_t c);
    void appendText(QStringView text);
    const RunFormat& format(const CharProps& props);
    void flushRun();
    void endParagraph(bool always);
    void finishFontName();
    void leaveGroup(const GroupState& inner);
    void setWordList();

    int currentCodePage() const;
    RunFormat resolve(const CharProps& p) const;

    QStringView in;
    qsizetype pos = 0;
    Sink& sink;

    GroupState st;
    std::vector<GroupState> stack;
    int overflowDepth = 0;
    bool rootClosed = false;

    int ansiCodePage = 1252;
    int defaultFont = 0;
    std::map<int, FontEntry> fonts;
    int currentFontEntry = -1;
    QString fontName;
    std::vector<QColor> colors;
    int red = -1, green = -1, blue = -1;

    Decoders decoders;
    QByteArray pendingBytes;
    int pendingCodePage = 0;
    char16_t pendingHigh = 0;
    int fallbackLeft = 0;

    QString runText;
    CharProps runProps;
    CharProps resolvedProps;
    RunFormat resolved;
    bool haveResolved = false;
    bool paragraphHasContent = false;
    bool cellPending = false;

    ListProps pnList;                                // the \pn being read
    std::map<int, std::vector<WordLevel>> wordLists; // by \listid
    std::vector<WordLevel> levels;                   // the \list being read
    int listId = 0;
    std::map<int, int> overrides; // \ls to \listid
    QString label;                // the last \listtext, for what the list table leaves open
    QString instruction;          // the \fldinst being read
    int fieldLink = -1;
    std::vector<QString> links;
    Picture pict;
    int pictureNibble = -1;
    RowDefinition rowDefinition; // the row being defined
    RowDefinition outerRow;      // the row around \nesttableprops
    quint8 cellMerge = 0;        // the merging of the cell its next \cellx ends
};

void Parser::run() {
    const qsizetype n = in.size();
    while (pos < n && !rootClosed) {
        const char16_t c = in[pos].unicode();
        switch (c) {
        case u'{':
            ++pos;
            flushBytes();
            fallbackLeft = 0;
            openGroup();
            break;
        case u'}':
            ++pos;
            flushBytes();
            fallbackLeft = 0;
            closeGroup();
            break;
        case u'\\':
            ++pos;
            if (pos >= n)
                break;
            if (const char16_t next = in[pos].unicode(); isAsciiLetter(next))
                controlWord();
            else {
                ++pos;
                controlSymbol(next);
            }
            break;
        case u'\r':
        case u'\n':
            ++pos;
            break;
        default:
            if (st.dest == Dest::Picture) {
                pictureHex();
                if (pos < n && in[pos] != u'\\' && in[pos] != u'{' && in[pos] != u'}')
                    ++pos; // anything else in a picture is not part of it
                break;
            }
            if (fallbackLeft == 0 && pendingBytes.isEmpty() && !pendingHigh && !cellPending &&
                st.dest == Dest::Text && !st.label && c >= 0x20 && !QChar::isSurrogate(c)) {
                // A stretch of plain text goes in at once.
                qsizetype end = pos + 1;
                while (end < n) {
                    const char16_t d = in[end].unicode();
                    if (d == u'\\' || d == u'{' || d == u'}' || d < 0x20 || QChar::isSurrogate(d) ||
                        d == QChar::ParagraphSeparator || d == 0xFDD0 || d == 0xFDD1 ||
                        d == QChar::ObjectReplacementCharacter)
                        break;
                    ++end;
                }
                appendText(in.sliced(pos, end - pos));
                pos = end;
                break;
            }
            ++pos;
            if (!consumeFallback())
                textChar(c);
            break;
        }
    }
    if (!rootClosed)
        finish(); // the closing brace is missing: keep what was read
}

void Parser::finish() {
    flushBytes();
    if (st.dest == Dest::FontTable)
        finishFontName();
    if (pendingHigh) {
        pendingHigh = 0;
        emitToDestination(QChar::ReplacementCharacter);
    }
    flushRun();
    if (paragraphHasContent)
        sink.lastParagraph(st.para);
}

void Parser::openGroup() {
    if (stack.size() >= std::size_t(kMaxDepth)) {
        ++overflowDepth;
        return;
    }
    stack.push_back(st);
}

void Parser::closeGroup() {
    if (overflowDepth > 0) {
        --overflowDepth;
        return;
    }
    if (stack.size() <= 1) {
        // What follows the document's own group is not part of it (Word leaves theme data there).
        finish();
        rootClosed = true;
        return;
    }
    if (st.dest == Dest::FontTable)
        finishFontName();
    const GroupState inner = st;
    st = stack.back();
    stack.pop_back();
    leaveGroup(inner);
}

// What a group read for its parent outlasts the group.
void Parser::leaveGroup(const GroupState& inner) {
    if (inner.dest == Dest::Picture && st.dest != Dest::Picture) {
        if (st.dest == Dest::Text)
            sink.picture(pict, format(st.chr));
        pict = Picture();
    }
    if (inner.nestedRow && !st.nestedRow) {
        rowDefinition = outerRow;
        cellMerge = 0;
    }
    if (inner.pn && !st.pn) {
        pnList.level = std::clamp(pnList.level, 0, 8);
        if (pnList.style == QTextListFormat::ListDisc)
            pnList.prefix.clear(); // the bullet character: the document draws its own
        pnList.pn = true;
        st.para.list = pnList;
    }
    if (inner.dest == Dest::FieldInstruction && st.dest != Dest::FieldInstruction) {
        // HYPERLINK "target" with switches such as \l (a place in the document) or \o (a tip).
        fieldLink = -1;
        const QString text = instruction.simplified();
        instruction.clear();
        if (text.startsWith(u"HYPERLINK", Qt::CaseInsensitive) && links.size() < std::size_t(kMaxRuns)) {
            QString target;
            bool local = false;
            const QStringView rest = QStringView(text).sliced(9);
            for (qsizetype i = 0; i < rest.size(); ++i) {
                if (rest[i] == u'\\' && i + 1 < rest.size()) {
                    local = local || rest[i + 1] == u'l';
                    ++i;
                    // A switch's own quoted argument is not the target.
                    if (rest[i] != u'l' && i + 2 < rest.size() && rest[i + 2] == u'"')
                        i = rest.indexOf(u'"', rest.indexOf(u'"', i) + 1);
                    if (i < 0)
                        break;
                } else if (rest[i] == u'"') {
                    const qsizetype end = rest.indexOf(u'"', i + 1);
                    target = rest.sliced(i + 1, (end < 0 ? rest.size() : end) - i - 1).toString();
                    break;
                } else if (!rest[i].isSpace() && target.isEmpty()) {
                    qsizetype end = i;
                    while (end < rest.size() && !rest[end].isSpace())
                        ++end;
                    target = rest.sliced(i, end - i).toString();
                    break;
                }
            }
            while (target.startsWith(u'#')) { // an address within the document, as some writers give it
                target.remove(0, 1);
                local = true;
            }
            if (!target.isEmpty()) {
                links.push_back(local ? u'#' + target : target);
                fieldLink = int(links.size() - 1);
            }
        }
    }
}

void Parser::setWordList() {
    if (st.para.list.pn) {
        // WordPad's form of the same list, beside Word's, gives its labels; Word's its level.
        st.para.list.level = std::clamp(st.para.list.level, 0, 8);
        return;
    }
    ListProps list;
    list.ls = st.para.list.ls;
    list.level = std::clamp(st.para.list.level, 0, 8);
    list.suffix = QStringLiteral(".");
    WordLevel level;
    const auto it = wordLists.find(overrides.count(list.ls) ? overrides[list.ls] : -1);
    if (it != wordLists.end() && std::size_t(list.level) < it->second.size())
        level = it->second[std::size_t(list.level)];
    else if (!label.isEmpty() && label[0].isDigit())
        level.style = QTextListFormat::ListDecimal; // no table: the label tells what the list counts with
    list.style = level.style;
    list.start = level.start;
    if (list.style == QTextListFormat::ListDisc)
        list.suffix.clear();
    else if (label.trimmed().endsWith(u')'))
        list.suffix = QStringLiteral(")");
    st.para.list = list;
}

// Skips the rest of the current group, binary data included, without keeping any state for
// the groups inside it.
void Parser::skipGroup() {
    const qsizetype n = in.size();
    int depth = 0;
    while (pos < n) {
        const char16_t c = in[pos++].unicode();
        if (c == u'{')
            ++depth;
        else if (c == u'}') {
            if (depth-- == 0) {
                closeGroup();
                return;
            }
        } else if (c == u'\\' && pos < n) {
            if (in[pos] == u'b' && in.sliced(pos).startsWith(u"bin")) {
                pos += 3;
                if (pos < n && (isAsciiDigit(in[pos].unicode()) || in[pos] == u'-')) {
                    const qsizetype start = pos;
                    bool negative = in[pos] == u'-';
                    if (negative)
                        ++pos;
                    qint64 value = 0;
                    while (pos < n && isAsciiDigit(in[pos].unicode())) {
                        value = std::min<qint64>(value * 10 + (in[pos].unicode() - u'0'), n);
                        ++pos;
                    }
                    if (pos < n && in[pos] == u' ')
                        ++pos;
                    if (!negative && pos > start)
                        pos = std::min<qint64>(pos + value, n);
                }
            } else {
                ++pos;
            }
        }
    }
    // End of input inside the group: nothing more to read.
}

void Parser::skipBinary(int count) {
    pos = std::min<qsizetype>(pos + std::max(count, 0), in.size());
}

// The characters after \uN that stand in for it in readers without Unicode are not shown.
bool Parser::consumeFallback() {
    if (fallbackLeft <= 0)
        return false;
    --fallbackLeft;
    return true;
}

// A control word of the picture itself, kept to write the picture back as it came.
bool Parser::pictureWord(std::string_view word, bool hasParam, int param) {
    static constexpr std::pair<std::string_view, PictureKind> kKinds[] = {
        {"pngblip", PictureKind::Png},      {"jpegblip", PictureKind::Jpeg}, {"dibitmap", PictureKind::Dib},
        {"wmetafile", PictureKind::Wmf},    {"emfblip", PictureKind::Other}, {"macpict", PictureKind::Other},
        {"pmmetafile", PictureKind::Other}, {"wbitmap", PictureKind::Other}};
    if (word == "bin")
        return false;
    if (pict.header.size() < 512) {
        pict.header += u'\\';
        pict.header += QLatin1String(word.data(), qsizetype(word.size()));
        if (hasParam)
            pict.header += QString::number(param);
    }
    for (const auto& [name, kind] : kKinds)
        if (word == name)
            pict.kind = kind;
    const int value = std::clamp(param, 0, 1 << 20);
    if (word == "picw")
        pict.width = value;
    else if (word == "pich")
        pict.height = value;
    else if (word == "picwgoal")
        pict.goalWidth = value;
    else if (word == "pichgoal")
        pict.goalHeight = value;
    else if (word == "picscalex")
        pict.scaleX = value;
    else if (word == "picscaley")
        pict.scaleY = value;
    return true;
}

// Hex digits of a picture, a stretch at a time: pictures are most of a note's bytes.
void Parser::pictureHex() {
    const qsizetype n = in.size();
    while (pos < n) {
        const char16_t c = in[pos].unicode();
        int v;
        if (c >= u'0' && c <= u'9')
            v = c - u'0';
        else if ((c | 0x20) >= u'a' && (c | 0x20) <= u'f')
            v = (c | 0x20) - u'a' + 10;
        else if (c == u' ' || c == u'\r' || c == u'\n' || c == u'\t') {
            ++pos;
            continue;
        } else
            return;
        ++pos;
        if (pictureNibble < 0) {
            pictureNibble = v;
        } else {
            if (pict.data.size() < kMaxPictureBytes)
                pict.data += char(pictureNibble * 16 + v);
            pictureNibble = -1;
        }
    }
}

bool Parser::readsDestination() const {
    if (pos + 1 >= in.size() || in[pos] != u'\\')
        return false;
    qsizetype end = pos + 1;
    while (end < in.size() && end - pos < 24 && isAsciiLetter(in[end].unicode()))
        ++end;
    const QStringView word = in.sliced(pos + 1, end - pos - 1);
    for (const char16_t* name :
         {u"pn", u"fldinst", u"listtable", u"listoverridetable", u"shppict", u"nesttableprops"})
        if (word == QStringView(name))
            return true;
    return false;
}

void Parser::controlWord() {
    const qsizetype n = in.size();
    char word[33];
    int length = 0;
    while (pos < n && isAsciiLetter(in[pos].unicode())) {
        if (length < 32)
            word[length++] = char(in[pos].unicode());
        ++pos;
    }
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (pos < n && in[pos] == u'-' && pos + 1 < n && isAsciiDigit(in[pos + 1].unicode())) {
        negative = true;
        ++pos;
    }
    while (pos < n && isAsciiDigit(in[pos].unicode())) {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (in[pos].unicode() - '0'), 0x7fffffff);
        ++pos;
    }
    if (pos < n && in[pos] == u' ')
        ++pos;
    flushBytes();
    const std::string_view name(word, std::size_t(length));
    const int param = int(negative ? -value : value);
    if (fallbackLeft > 0) {
        --fallbackLeft;
        if (name == "bin" && hasParam)
            skipBinary(param);
        return;
    }
    handleKeyword(name, hasParam, param);
}

void Parser::controlSymbol(char16_t c) {
    if (c == u'\'') {
        const qsizetype n = in.size();
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos < n) {
            const char16_t h = in[pos].unicode();
            int v = -1;
            if (h >= u'0' && h <= u'9')
                v = h - u'0';
            else if (h >= u'a' && h <= u'f')
                v = h - u'a' + 10;
            else if (h >= u'A' && h <= u'F')
                v = h - u'A' + 10;
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++pos;
        }
        if (digits == 0 || consumeFallback())
            return;
        byte(uchar(value));
        return;
    }
    flushBytes();
    if (consumeFallback())
        return;
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        emitUnit(c);
        break;
    case u'~':
        emitUnit(u'\u00A0');
        break;
    case u'-':
        emitUnit(u'\u00AD');
        break;
    case u'_':
        emitUnit(u'\u2011');
        break;
    case u'\t':
        emitUnit(u'\t');
        break;
    case u'\r':
    case u'\n':
        endParagraph(true);
        break;
    case u'*':
        // An optional destination: only those read here are kept, the rest carry nothing shown.
        if (!readsDestination())
            skipGroup();
        break;
    default:
        break;
    }
}

void Parser::handleKeyword(std::string_view word, bool hasParam, int param) {
    if (st.dest == Dest::Picture && pictureWord(word, hasParam, param))
        return;
    const KeywordEntry* entry = findKeyword(word);
    if (!entry)
        return;
    const bool on = !hasParam || param != 0;
    switch (entry->kw) {
    case Kw::Unknown:
        break;
    case Kw::SkipDestination:
        skipGroup();
        break;
    case Kw::FontTable:
        st.dest = Dest::FontTable;
        currentFontEntry = -1;
        fontName.clear();
        break;
    case Kw::ColorTable:
        st.dest = Dest::ColorTable;
        red = green = blue = -1;
        break;
    case Kw::Red:
        red = std::clamp(param, 0, 255);
        break;
    case Kw::Green:
        green = std::clamp(param, 0, 255);
        break;
    case Kw::Blue:
        blue = std::clamp(param, 0, 255);
        break;
    case Kw::FontCharset:
        if (st.dest == Dest::FontTable && fonts.count(currentFontEntry)) {
            fonts[currentFontEntry].codePage = codePageForCharset(param);
            fonts[currentFontEntry].charset = std::clamp(param, 0, 255);
        }
        break;
    case Kw::FontCodePage:
        if (st.dest == Dest::FontTable && fonts.count(currentFontEntry) && param > 0)
            fonts[currentFontEntry].codePage = knownCodePage(param);
        break;
    case Kw::Ansi:
        ansiCodePage = 1252;
        break;
    case Kw::Mac:
        ansiCodePage = 10000;
        break;
    case Kw::Pc:
        ansiCodePage = 437;
        break;
    case Kw::Pca:
        ansiCodePage = 850;
        break;
    case Kw::AnsiCodePage:
        if (param > 0)
            ansiCodePage = knownCodePage(param);
        break;
    case Kw::DefaultFont:
        defaultFont = param;
        break;
    case Kw::UnicodeSkip:
        st.unicodeSkip = std::clamp(param, 0, 16);
        break;
    case Kw::Unicode:
        if (hasParam) {
            // Writers give code units above 32767 as negative numbers.
            const bool valid = param >= -32768 && param <= 65535;
            emitUnit(valid ? char16_t(param < 0 ? param + 65536 : param)
                           : char16_t(QChar::ReplacementCharacter));
            fallbackLeft = st.unicodeSkip;
        }
        break;
    case Kw::Bin:
        if (hasParam && st.dest == Dest::Picture && param > 0) {
            const qsizetype count = std::min<qsizetype>(param, in.size() - pos);
            if (pict.data.size() < kMaxPictureBytes)
                pict.data += in.sliced(pos, count).toLatin1();
            pos += count;
        } else if (hasParam) {
            skipBinary(param);
        }
        break;
    case Kw::Picture:
        if (st.dest != Dest::Text) {
            skipGroup();
            break;
        }
        flushRun();
        st.dest = Dest::Picture;
        pict = Picture();
        pictureNibble = -1;
        break;
    case Kw::Bold:
        st.chr.bold = on;
        break;
    case Kw::Italic:
        st.chr.italic = on;
        break;
    case Kw::Underline:
        st.chr.underline = on;
        break;
    case Kw::UnderlineNone:
        st.chr.underline = false;
        break;
    case Kw::Plain: {
        const int link = st.chr.link; // a link's text keeps its target through \plain
        st.chr = CharProps();
        st.chr.link = link;
        break;
    }
    case Kw::Color:
        st.chr.color = std::max(param, 0);
        break;
    case Kw::Font:
        if (st.dest == Dest::FontTable) {
            finishFontName();
            currentFontEntry = param;
            if (!fonts.count(param) && fonts.size() < std::size_t(kMaxFonts))
                fonts[param] = FontEntry();
        } else if (hasParam) {
            st.chr.font = param;
        }
        break;
    case Kw::FontSize:
        st.chr.halfPoints = param > 0 ? std::min(param, 3276) : 24;
        break;
    case Kw::Pard:
        st.para = ParaProps();
        break;
    case Kw::AlignLeft:
        st.para.align = Qt::AlignLeft;
        break;
    case Kw::AlignRight:
        st.para.align = Qt::AlignRight;
        break;
    case Kw::AlignCenter:
        st.para.align = Qt::AlignHCenter;
        break;
    case Kw::AlignJustify:
        st.para.align = Qt::AlignJustify;
        break;
    case Kw::Par:
        endParagraph(true);
        break;
    case Kw::Row:
    case Kw::NestRow:
        if (st.dest != Dest::Text)
            break;
        if (sink.wantsCells()) {
            const int level = entry->kw == Kw::Row ? 1 : std::max(st.para.nesting, 2);
            if (paragraphHasContent) {
                const bool cell = st.para.inTable; // the last cell's \cell left out
                endParagraph(true);
                if (cell)
                    sink.endCell(level);
            }
            sink.endRow(level, rowDefinition);
            break;
        }
        cellPending = false;
        endParagraph(true);
        break;
    case Kw::Page:
        endParagraph(false);
        break;
    case Kw::Line:
        emitUnit(QChar::LineSeparator);
        break;
    case Kw::Tab:
        emitUnit(u'\t');
        break;
    case Kw::Cell:
    case Kw::NestCell:
        if (st.dest != Dest::Text)
            break;
        if (sink.wantsCells()) {
            st.para.inTable = true;
            endParagraph(true);
            sink.endCell(entry->kw == Kw::Cell ? 1 : std::max(st.para.nesting, 2));
            break;
        }
        // The separator is written when the next cell's text comes, so a row has none at its end.
        if (cellPending) {
            cellPending = false;
            emitUnit(u'\t');
        }
        cellPending = true;
        break;
    case Kw::RowDefaults:
        rowDefinition = RowDefinition();
        cellMerge = 0;
        break;
    case Kw::CellEdge:
        if (rowDefinition.edges.size() < 64) {
            // As far as the writer reaches: 64 columns of 22 inches.
            rowDefinition.edges.push_back(std::clamp(param, 0, 31680 * 64));
            rowDefinition.merges.push_back(cellMerge);
        }
        cellMerge = 0;
        break;
    case Kw::CellMerge:
        cellMerge |= quint8(entry->ch);
        break;
    case Kw::Nesting:
        st.para.nesting = std::clamp(param, 0, kMaxNesting);
        break;
    case Kw::NestTableProps:
        // The row of a table in a cell, defined after its cells; the row around it keeps its own.
        if (!st.nestedRow)
            outerRow = rowDefinition;
        st.nestedRow = true;
        break;
    case Kw::InTable:
        st.para.inTable = true;
        break;
    case Kw::Border:
        rowDefinition.borders = true;
        break;
    case Kw::FootnoteMark:
        // The mark belongs to a footnote, which the note does not keep.
        break;
    case Kw::Character:
        emitUnit(entry->ch);
        break;
    case Kw::Strike:
        st.chr.strike = on;
        break;
    case Kw::Super:
        st.chr.script = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case Kw::Sub:
        st.chr.script = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case Kw::NoSuperSub:
        st.chr.script = QTextCharFormat::AlignNormal;
        break;
    case Kw::Hidden:
        st.chr.hidden = on;
        break;
    case Kw::Highlight:
        st.chr.highlight = std::max(param, 0);
        break;
    case Kw::LeftIndent:
        st.para.leftIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::RightIndent:
        st.para.rightIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::FirstIndent:
        st.para.firstIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::SpaceBefore:
        st.para.spaceBefore = std::clamp(param, 0, 31680);
        break;
    case Kw::SpaceAfter:
        st.para.spaceAfter = std::clamp(param, 0, 31680);
        break;
    case Kw::LineSpacing:
        // Word writes \sl-0 and \sl1000 for single spacing too.
        st.para.lineSpacing = param == 1000 ? 0 : std::clamp(param, -31680, 31680);
        break;
    case Kw::LineMultiple:
        st.para.lineMultiple = on;
        break;
    case Kw::FontFamily:
        if (st.dest == Dest::FontTable && fonts.count(currentFontEntry))
            fonts[currentFontEntry].hint = entry->ch;
        break;
    case Kw::ListLabel:
        st.label = true;
        label.clear();
        break;
    case Kw::Pn:
        if (st.dest != Dest::Text) {
            skipGroup();
            break;
        }
        st.pn = true;
        pnList = ListProps();
        pnList.style = QTextListFormat::ListDecimal;
        break;
    case Kw::PnBullet:
        if (st.pn)
            pnList.style = QTextListFormat::ListDisc;
        break;
    case Kw::PnBody: // numbered, as \pn starts
        break;
    case Kw::PnLevel:
        if (st.pn)
            pnList.level = param - 1;
        break;
    case Kw::PnStyle:
        if (st.pn && pnList.style != QTextListFormat::ListDisc)
            pnList.style = int(qint16(entry->ch));
        break;
    case Kw::PnStart:
        if (st.pn)
            pnList.start = std::clamp(param, 0, 32767);
        break;
    case Kw::PnTextBefore:
    case Kw::PnTextAfter:
        if (!st.pn) {
            skipGroup();
            break;
        }
        st.dest = entry->kw == Kw::PnTextBefore ? Dest::PnTextBefore : Dest::PnTextAfter;
        (entry->kw == Kw::PnTextBefore ? pnList.prefix : pnList.suffix).clear();
        break;
    case Kw::ListTable:
        st.dest = Dest::ListTable;
        break;
    case Kw::ListOverrideTable:
        st.dest = Dest::ListOverrideTable;
        break;
    case Kw::ListGroup:
        if (st.dest != Dest::ListTable)
            skipGroup();
        else
            levels.clear();
        break;
    case Kw::ListLevelGroup:
        if (st.dest != Dest::ListTable)
            skipGroup();
        else if (levels.size() < 9)
            levels.emplace_back();
        break;
    case Kw::LevelNfc:
        if (st.dest == Dest::ListTable && !levels.empty()) {
            static constexpr std::pair<int, QTextListFormat::Style> kNfc[] = {
                {0, QTextListFormat::ListDecimal},    {1, QTextListFormat::ListUpperRoman},
                {2, QTextListFormat::ListLowerRoman}, {3, QTextListFormat::ListUpperAlpha},
                {4, QTextListFormat::ListLowerAlpha}, {22, QTextListFormat::ListDecimal}};
            levels.back().style = QTextListFormat::ListDisc;
            for (const auto& [nfc, style] : kNfc)
                if (nfc == param)
                    levels.back().style = style;
        }
        break;
    case Kw::LevelStart:
        if (st.dest == Dest::ListTable && !levels.empty())
            levels.back().start = std::clamp(param, 0, 32767);
        break;
    case Kw::ListId:
        if (st.dest == Dest::ListTable && !levels.empty() && wordLists.size() < std::size_t(kMaxFonts)) {
            wordLists[param] = std::move(levels);
            levels.clear();
        } else if (st.dest == Dest::ListOverrideTable) {
            listId = param;
        }
        break;
    case Kw::ListOverrideGroup:
        if (st.dest != Dest::ListOverrideTable)
            skipGroup();
        break;
    case Kw::ListStyle:
        if (st.dest == Dest::ListOverrideTable) {
            if (overrides.size() < std::size_t(kMaxFonts))
                overrides[param] = listId;
        } else if (st.dest == Dest::Text) {
            st.para.list.ls = param;
            setWordList();
        }
        break;
    case Kw::ListLevelIndex:
        if (st.dest == Dest::Text) {
            st.para.list.level = param;
            if (st.para.list.ls != 0)
                setWordList();
        }
        break;
    case Kw::FieldInstruction:
        st.dest = Dest::FieldInstruction;
        instruction.clear();
        break;
    case Kw::FieldResult:
        if (st.dest == Dest::Text && fieldLink >= 0)
            st.chr.link = fieldLink;
        fieldLink = -1;
        break;
    }
}

int Parser::currentCodePage() const {
    int font = st.dest == Dest::FontTable ? currentFontEntry : (st.chr.font < 0 ? defaultFont : st.chr.font);
    if (const auto it = fonts.find(font); it != fonts.end() && it->second.codePage != 0)
        return it->second.codePage;
    return ansiCodePage;
}

void Parser::textChar(char16_t c) {
    // A double-byte character's trail byte may be written as a plain ASCII character.
    if (!pendingBytes.isEmpty() && c >= 0x40 && c < 0x7F && isDoubleByteCodePage(pendingCodePage)) {
        bool lead = false;
        for (const char b : std::as_const(pendingBytes))
            lead = lead ? false : isLeadByte(pendingCodePage, uchar(b));
        if (lead) {
            pendingBytes.append(char(c));
            return;
        }
    }
    flushBytes();
    if (c < 0x20 && c != u'\t')
        return;
    emitUnit(c);
}

void Parser::byte(uchar b) {
    const int cp = currentCodePage();
    if (!pendingBytes.isEmpty() && cp != pendingCodePage)
        flushBytes();
    pendingCodePage = cp;
    pendingBytes.append(char(b));
}

void Parser::flushBytes() {
    if (pendingBytes.isEmpty())
        return;
    const QString text = decoders.decode(pendingCodePage, pendingBytes);
    pendingBytes.clear();
    for (QChar c : text)
        emitUnit(c.unicode());
}

// Pairs UTF-16 surrogates; a lone half becomes U+FFFD so the document never holds broken text.
void Parser::emitUnit(char16_t c) {
    if (QChar::isHighSurrogate(c)) {
        if (pendingHigh)
            emitToDestination(QChar::ReplacementCharacter);
        pendingHigh = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (pendingHigh) {
            emitToDestination(pendingHigh);
            emitToDestination(c);
            pendingHigh = 0;
        } else {
            emitToDestination(QChar::ReplacementCharacter);
        }
        return;
    }
    if (pendingHigh) {
        pendingHigh = 0;
        emitToDestination(QChar::ReplacementCharacter);
    }
    emitToDestination(c);
}

void Parser::emitToDestination(char16_t c) {
    switch (st.dest) {
    case Dest::FontTable:
        if (c == u';')
            finishFontName();
        else if (fontName.size() < kMaxFontNameLength && c >= 0x20)
            fontName += QChar(c);
        return;
    case Dest::ColorTable:
        if (c == u';') {
            if (colors.size() < std::size_t(kMaxColors))
                colors.push_back(red < 0 && green < 0 && blue < 0
                                     ? QColor()
                                     : QColor(std::max(red, 0), std::max(green, 0), std::max(blue, 0)));
            red = green = blue = -1;
        }
        return;
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
        // What a label can show: no control characters, marks or surrogates.
        if (QString& text = st.dest == Dest::PnTextBefore ? pnList.prefix : pnList.suffix;
            text.size() < 32 && c >= 0x20 && !QChar::isSurrogate(c) && c != QChar::ParagraphSeparator &&
            c != QChar::LineSeparator && c != 0xFDD0 && c != 0xFDD1 && c != QChar::ObjectReplacementCharacter)
            text += QChar(c);
        return;
    case Dest::FieldInstruction:
        if (instruction.size() < 4096)
            instruction += QChar(c);
        return;
    case Dest::ListTable:
    case Dest::ListOverrideTable:
    case Dest::Picture:
        return;
    case Dest::Text:
        break;
    }
    if (st.label) {
        if (label.size() < 32)
            label += QChar(c);
        if (!sink.wantsLabels())
            return;
    }
    // The document gives these characters a structural meaning of its own.
    if (c == QChar::ParagraphSeparator) {
        endParagraph(true);
        return;
    }
    if ((c < 0x20 && c != u'\t') || c == 0xFDD0 || c == 0xFDD1 || c == QChar::ObjectReplacementCharacter)
        return;
    if (cellPending) {
        cellPending = false;
        appendText(u"\t");
    }
    appendText(QStringView(&c, 1));
}

void Parser::appendText(QStringView text) {
    if (!(st.chr == runProps) && !runText.isEmpty())
        flushRun();
    runProps = st.chr;
    runText += text;
    paragraphHasContent = true;
}

void Parser::finishFontName() {
    if (const auto it = fonts.find(currentFontEntry); it != fonts.end() && it->second.name.isEmpty())
        it->second.name = fontName.trimmed();
    fontName.clear();
}

RunFormat Parser::resolve(const CharProps& p) const {
    RunFormat f;
    f.bold = p.bold;
    f.italic = p.italic;
    f.underline = p.underline;
    f.strike = p.strike;
    f.hidden = p.hidden;
    f.script = p.script;
    f.pointSize = p.halfPoints / 2.0;
    if (p.color >= 0 && std::size_t(p.color) < colors.size())
        f.color = colors[std::size_t(p.color)];
    if (p.highlight > 0 && std::size_t(p.highlight) < colors.size())
        f.background = colors[std::size_t(p.highlight)];
    auto it = fonts.find(p.font < 0 ? defaultFont : p.font);
    if (it == fonts.end())
        it = fonts.find(defaultFont);
    if (it != fonts.end()) {
        f.family = it->second.name;
        f.charset = it->second.charset;
        f.familyHint = it->second.hint;
    }
    if (p.link >= 0 && std::size_t(p.link) < links.size())
        f.anchor = links[std::size_t(p.link)];
    return f;
}

const RunFormat& Parser::format(const CharProps& props) {
    if (!sink.wantsFormats())
        return resolved;
    if (!haveResolved || !(props == resolvedProps)) {
        resolved = resolve(props);
        resolvedProps = props;
        haveResolved = true;
    }
    return resolved;
}

void Parser::flushRun() {
    if (runText.isEmpty())
        return;
    sink.text(runText, format(runProps));
    runText.resize(0); // keeps the buffer for the next run
}

void Parser::endParagraph(bool always) {
    if (st.dest != Dest::Text)
        return;
    if (!always && !paragraphHasContent)
        return;
    if (pendingHigh) {
        pendingHigh = 0;
        emitToDestination(QChar::ReplacementCharacter);
    }
    flushRun();
    cellPending = false;
    sink.endParagraph(st.para, format(st.chr));
    paragraphHasContent = false;
}

} // namespace

namespace rtf {

// Plain text as the document keeps it: line ends of any kind become paragraph ends, and what the
// document could not store as a note (control characters, object and frame marks, unpaired
// surrogates) is left out or replaced, as in RTF text.
static QString plainContent(QStringView text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            out += u'\n';
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text.sliced(i, 2);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out += QChar::ReplacementCharacter;
        } else if ((c >= 0x20 || c == u'\t' || c == u'\n') && c != QChar::ObjectReplacementCharacter &&
                   c != 0xFDD0 && c != 0xFDD1) {
            out += QChar(c);
        }
    }
    return out;
}

bool isRtf(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i].isSpace() || text[i] == QChar::ByteOrderMark))
        ++i;
    return text.sliced(i).startsWith(u"{\\rtf");
}

void read(QStringView text, QTextDocument& document) {
    document.clear();
    if (!isRtf(text)) {
        QTextCursor(&document).insertText(plainContent(text));
        return;
    }
    DocumentSink sink(document);
    Parser(text, sink).run();
    sink.build();
}

QString plainText(QStringView text) {
    QString out;
    if (!isRtf(text)) {
        out = plainContent(text);
    } else {
        PlainSink sink;
        Parser(text, sink).run();
        out = std::move(sink.out);
    }
    for (QChar& c : out) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return out;
}

} // namespace rtf
