// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/rtfreader.h"

#include <QColor>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
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
constexpr int kSymbolCodePage = -2; // \fcharset2: the Symbol font's own encoding

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
    {"bullet", Kw::Character, u'\u2022'},
    {"buptim", Kw::SkipDestination},
    {"cell", Kw::Cell},
    {"cf", Kw::Color},
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
    {"filetbl", Kw::SkipDestination},
    {"fldinst", Kw::SkipDestination},
    {"fname", Kw::SkipDestination},
    {"fonttbl", Kw::FontTable},
    {"footer", Kw::SkipDestination},
    {"footerf", Kw::SkipDestination},
    {"footerl", Kw::SkipDestination},
    {"footerr", Kw::SkipDestination},
    {"footnote", Kw::SkipDestination},
    {"fs", Kw::FontSize},
    {"ftncn", Kw::SkipDestination},
    {"ftnsep", Kw::SkipDestination},
    {"ftnsepc", Kw::SkipDestination},
    {"generator", Kw::SkipDestination},
    {"green", Kw::Green},
    {"header", Kw::SkipDestination},
    {"headerf", Kw::SkipDestination},
    {"headerl", Kw::SkipDestination},
    {"headerr", Kw::SkipDestination},
    {"i", Kw::Italic},
    {"info", Kw::SkipDestination},
    {"keywords", Kw::SkipDestination},
    {"latentstyles", Kw::SkipDestination},
    {"ldblquote", Kw::Character, u'\u201C'},
    {"levelnumbers", Kw::SkipDestination},
    {"leveltext", Kw::SkipDestination},
    {"lfolevel", Kw::SkipDestination},
    {"line", Kw::Line},
    {"list", Kw::SkipDestination},
    {"listlevel", Kw::SkipDestination},
    {"listname", Kw::SkipDestination},
    {"listoverride", Kw::SkipDestination},
    {"listoverridetable", Kw::SkipDestination},
    {"listpicture", Kw::SkipDestination},
    {"listtable", Kw::SkipDestination},
    {"lquote", Kw::Character, u'\u2018'},
    {"ltrmark", Kw::Character, u'\u200E'},
    {"mac", Kw::Mac},
    {"mmathPr", Kw::SkipDestination},
    {"nestcell", Kw::Cell},
    {"nestrow", Kw::Row},
    {"nonshppict", Kw::SkipDestination},
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
    {"pict", Kw::SkipDestination},
    {"plain", Kw::Plain},
    {"pn", Kw::SkipDestination},
    {"pnseclvl", Kw::SkipDestination},
    {"pntxta", Kw::SkipDestination},
    {"pntxtb", Kw::SkipDestination},
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
    {"row", Kw::Row},
    {"rquote", Kw::Character, u'\u2019'},
    {"rsidtbl", Kw::SkipDestination},
    {"rtlmark", Kw::Character, u'\u200F'},
    {"sect", Kw::Page},
    {"shpinst", Kw::SkipDestination},
    {"sn", Kw::SkipDestination},
    {"sp", Kw::SkipDestination},
    {"stylesheet", Kw::SkipDestination},
    {"subject", Kw::SkipDestination},
    {"sv", Kw::SkipDestination},
    {"tab", Kw::Tab},
    {"tc", Kw::SkipDestination},
    {"template", Kw::SkipDestination},
    {"themedata", Kw::SkipDestination},
    {"title", Kw::SkipDestination},
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
    int color = 0; // index into the colour table
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool operator==(const CharProps&) const = default;
};

enum class Dest : quint8 { Text, FontTable, ColorTable };

struct GroupState {
    CharProps chr;
    Qt::Alignment align = Qt::AlignLeft;
    int unicodeSkip = 1;
    Dest dest = Dest::Text;
};

struct RunFormat {
    bool bold = false, italic = false, underline = false;
    QColor color; // invalid: automatic
    QString family;
    double pointSize = 12;
    bool operator==(const RunFormat&) const = default;
};

class Sink {
  public:
    virtual ~Sink() = default;
    virtual void text(const QString& text, const RunFormat& format) = 0;
    // `format` is the character format in effect, for an empty paragraph's mark.
    virtual void endParagraph(Qt::Alignment align, const RunFormat& format) = 0;
    // The text after the last paragraph mark; not called when there is none.
    virtual void lastParagraph(Qt::Alignment align) = 0;
    virtual bool wantsFormats() const { return true; }
};

// Collects the text and its runs, then fills the document in few steps: one insertion of the
// whole text in the most used format, then the other formats and the alignments over their
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
    void endParagraph(Qt::Alignment align, const RunFormat& f) override {
        startBlock();
        formatIndex(f); // a document of empty paragraphs still needs a format for them
        lastParagraph(align);
        blockPending = true;
    }
    void lastParagraph(Qt::Alignment align) override {
        if (align != Qt::AlignLeft && alignments.size() < kMaxRuns &&
            (alignments.empty() || alignments.back().first != paragraph))
            alignments.emplace_back(paragraph, align);
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
        for (const auto& [number, align] : alignments) {
            QTextBlockFormat bf;
            bf.setAlignment(align);
            QTextCursor(doc.findBlockByNumber(number)).setBlockFormat(bf);
        }
        cursor.endEditBlock();
    }

  private:
    struct Run {
        int start;
        int length;
        int format;
    };
    using Key = std::tuple<bool, bool, bool, QRgb, bool, QString, double>;

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
        const Key key{f.bold,   f.italic,   f.underline, f.color.rgba(), f.color.isValid(),
                      f.family, f.pointSize};
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
        if (f.color.isValid())
            fmt.setForeground(f.color);
        if (!f.family.isEmpty())
            fmt.setFontFamilies(QStringList{f.family});
        fmt.setFontPointSize(f.pointSize);
        return fmt;
    }

    QTextDocument& doc;
    QString all;
    std::vector<Run> runs;
    std::vector<QTextCharFormat> formats;
    std::map<Key, int> indexByKey;
    RunFormat lastFormat;
    int lastIndex = -1;
    std::vector<std::pair<int, Qt::Alignment>> alignments;
    int paragraph = 0;
    bool blockPending = false;
};

class PlainSink final : public Sink {
  public:
    void text(const QString& text, const RunFormat&) override {
        if (newlinePending)
            out += u'\n';
        newlinePending = false;
        out += text;
    }
    void endParagraph(Qt::Alignment, const RunFormat&) override {
        if (newlinePending)
            out += u'\n';
        newlinePending = true;
    }
    void lastParagraph(Qt::Alignment) override {}
    bool wantsFormats() const override { return false; }
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
    int footnotes = 0;
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
            if (fallbackLeft == 0 && pendingBytes.isEmpty() && !pendingHigh && !cellPending &&
                st.dest == Dest::Text && c >= 0x20 && !QChar::isSurrogate(c)) {
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
        sink.lastParagraph(st.align);
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
    st = stack.back();
    stack.pop_back();
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
        skipGroup(); // an optional destination: none of them carries text shown in a note
        break;
    default:
        break;
    }
}

void Parser::handleKeyword(std::string_view word, bool hasParam, int param) {
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
        if (st.dest == Dest::FontTable && fonts.count(currentFontEntry))
            fonts[currentFontEntry].codePage = codePageForCharset(param);
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
        if (hasParam)
            skipBinary(param);
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
    case Kw::Plain:
        st.chr = CharProps();
        break;
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
        st.align = Qt::AlignLeft;
        break;
    case Kw::AlignLeft:
        st.align = Qt::AlignLeft;
        break;
    case Kw::AlignRight:
        st.align = Qt::AlignRight;
        break;
    case Kw::AlignCenter:
        st.align = Qt::AlignHCenter;
        break;
    case Kw::AlignJustify:
        st.align = Qt::AlignJustify;
        break;
    case Kw::Par:
        endParagraph(true);
        break;
    case Kw::Row:
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
        // The separator is written when the next cell's text comes, so a row has none at its end.
        if (cellPending) {
            cellPending = false;
            emitUnit(u'\t');
        }
        cellPending = true;
        break;
    case Kw::FootnoteMark:
        for (QChar c : QString::number(++footnotes))
            emitUnit(c.unicode());
        break;
    case Kw::Character:
        emitUnit(entry->ch);
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
    case Dest::Text:
        break;
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
    RunFormat f{p.bold, p.italic, p.underline, QColor(), QString(), p.halfPoints / 2.0};
    if (p.color >= 0 && std::size_t(p.color) < colors.size())
        f.color = colors[std::size_t(p.color)];
    const auto it = fonts.find(p.font < 0 ? defaultFont : p.font);
    if (it != fonts.end())
        f.family = it->second.name;
    else if (const auto def = fonts.find(defaultFont); def != fonts.end())
        f.family = def->second.name;
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
    sink.endParagraph(st.align, format(st.chr));
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
