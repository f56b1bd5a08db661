// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/richtextbox.h"

#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "host/rtfreader.h"
#include "host/rtfwriter.h"

#include <QImage>
#include <QMimeData>
#include <QTextImageFormat>
#include <QUrl>
#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QScrollBar>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Keeps the document's change signals from reaching contentChanged while the control makes
// a change of its own, which it then reports once.
class Quiet {
  public:
    explicit Quiet(int& counter) : counter(counter) { ++counter; }
    ~Quiet() { --counter; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    int& counter;
};

bool isBold(const QTextCharFormat& f) {
    return f.fontWeight() > QFont::Medium;
}
bool isItalic(const QTextCharFormat& f) {
    return f.fontItalic();
}
bool isUnderlined(const QTextCharFormat& f) {
    return f.fontUnderline();
}

std::optional<int> alignmentCode(Qt::Alignment align) {
    const Qt::Alignment h = align & Qt::AlignHorizontal_Mask;
    if (h == Qt::AlignJustify)
        return std::nullopt;
    if (h & Qt::AlignHCenter)
        return 2;
    if (h & Qt::AlignRight)
        return 1;
    return 0;
}

template <typename F> void forEachPicture(const QTextDocument& doc, F&& visit) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat())
                visit(f.toImageFormat().name());
}

// A pasted page's pictures: those given in the page itself (data: addresses) and the one picture
// a browser puts beside the page when a single picture is copied. Pictures elsewhere on the
// network are not fetched.
void givePicturesTheirData(QTextDocument& pasted, const QMimeData* source) {
    forEachPicture(pasted, [&](const QString& name) {
        const QUrl url(name);
        if (!pasted.resource(QTextDocument::ImageResource, url).isNull())
            return;
        QImage image;
        if (name.startsWith(u"data:image/")) {
            const qsizetype comma = name.indexOf(u',');
            if (comma > 0 && name.left(comma).endsWith(u";base64"))
                image.loadFromData(QByteArray::fromBase64(name.sliced(comma + 1).toLatin1()));
        } else if (source->hasImage()) {
            image = qvariant_cast<QImage>(source->imageData());
        }
        if (!image.isNull())
            pasted.addResource(QTextDocument::ImageResource, url, image);
    });
}

// Qt's HTML reader numbers every list from 1. The number each list of the page starts at is
// given back to it, matched by order: the lists appear in the document as their tags open. When
// they do not match up (a list without items, one inside a script), the lists count from 1.
void keepListStarts(QTextDocument& pasted, const QString& html) {
    static const QRegularExpression tag(QStringLiteral(R"(<(ol|ul)\b([^>]*)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression startAttribute(QStringLiteral(R"(\bstart\s*=\s*["']?\s*(\d{1,9}))"),
                                                   QRegularExpression::CaseInsensitiveOption);
    std::vector<int> starts;
    bool numbered = false;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch list = it.next();
        const QRegularExpressionMatch start = startAttribute.match(list.capturedView(2));
        const bool ordered = list.capturedView(1).compare(u"ol", Qt::CaseInsensitive) == 0;
        starts.push_back(ordered && start.hasMatch() ? std::min(start.captured(1).toInt(), 32767) : 1);
        numbered = numbered || starts.back() != 1;
    }
    if (!numbered)
        return;
    std::vector<QTextList*> lists;
    QSet<QTextList*> seen;
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next())
        if (QTextList* list = block.textList(); list && !seen.contains(list))
            seen.insert(list), lists.push_back(list);
    if (lists.size() != starts.size())
        return;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (starts[i] == 1)
            continue;
        QTextListFormat format = lists[i]->format();
        const int indent = format.indent(); // a nested list's level
        format.merge(rtf::numberedListFormat(format.style(), starts[i]));
        format.setIndent(indent);
        lists[i]->setFormat(format);
    }
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (quiet == 0)
            Q_EMIT contentChanged();
    });
    // What is typed next to hidden text is shown: it takes the hidden text's look, not its hiding.
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        QTextCharFormat f = currentCharFormat();
        if (!f.boolProperty(rtf::HiddenText) || textCursor().hasSelection())
            return;
        f.setFontPointSize(f.doubleProperty(rtf::HiddenPointSize) > 0
                               ? f.doubleProperty(rtf::HiddenPointSize)
                               : document()->defaultFont().pointSizeF());
        if (f.hasProperty(rtf::HiddenForeground))
            f.setForeground(f.colorProperty(rtf::HiddenForeground));
        else
            f.clearForeground();
        f.clearProperty(rtf::HiddenText);
        f.clearProperty(rtf::HiddenPointSize);
        f.clearProperty(rtf::HiddenForeground);
        setCurrentCharFormat(f);
    });
}

QString RichTextBox::textRTF() const {
    return rtf::write(*document());
}

void RichTextBox::setTextRTF(const QString& rtf) {
    {
        Quiet q(quiet);
        QTextDocument* doc = document();
        doc->setUndoRedoEnabled(false);
        rtf::read(rtf, *doc);
        doc->setUndoRedoEnabled(true);
        setTextCursor(QTextCursor(doc));
    }
    Q_EMIT contentChanged();
}

void RichTextBox::setText(const QString& plain) {
    {
        Quiet q(quiet);
        setPlainText(plain);
    }
    Q_EMIT contentChanged();
}

QString RichTextBox::text() const {
    return toPlainText();
}

// Visits the formats of the selected characters until `visit` returns false; with no selection
// (or one holding paragraph marks only), the format typing would use.
template <typename F> void RichTextBox::forEachSelectedFormat(F&& visit) const {
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool any = false;
    if (start != end) {
        for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                    continue;
                any = true;
                if (!visit(fragment.charFormat()))
                    return;
            }
        }
    }
    if (!any)
        visit(currentCharFormat());
}

RichTextBox::Tri RichTextBox::tri(bool (*attribute)(const QTextCharFormat&)) const {
    bool seenTrue = false;
    bool seenFalse = false;
    forEachSelectedFormat([&](const QTextCharFormat& f) {
        (attribute(f) ? seenTrue : seenFalse) = true;
        return !(seenTrue && seenFalse);
    });
    if (seenTrue && seenFalse)
        return Tri::Mixed;
    return seenTrue ? Tri::True : Tri::False;
}

RichTextBox::Tri RichTextBox::selBold() const {
    return tri(isBold);
}
RichTextBox::Tri RichTextBox::selItalic() const {
    return tri(isItalic);
}
RichTextBox::Tri RichTextBox::selUnderline() const {
    return tri(isUnderlined);
}

void RichTextBox::applyCharFormat(const QTextCharFormat& format) {
    const bool changesContent = textCursor().hasSelection();
    {
        Quiet q(quiet);
        mergeCurrentCharFormat(format);
    }
    if (changesContent)
        Q_EMIT contentChanged();
}

void RichTextBox::setSelBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyCharFormat(f);
}

void RichTextBox::setSelItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    applyCharFormat(f);
}

void RichTextBox::setSelUnderline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    applyCharFormat(f);
}

std::optional<int> RichTextBox::selAlignment() const {
    const QTextCursor cursor = textCursor();
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    std::optional<int> result;
    for (QTextBlock block = document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        const std::optional<int> code = alignmentCode(block.blockFormat().alignment());
        if (!code || (result && *result != *code))
            return std::nullopt;
        result = code;
        if (block == last)
            break;
    }
    return result;
}

void RichTextBox::setSelAlignment(int alignment) {
    static constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    if (alignment < 0 || alignment > 2)
        return;
    {
        Quiet q(quiet);
        setAlignment(kAlignments[alignment]);
    }
    Q_EMIT contentChanged();
}

void RichTextBox::setSelColor(quint32 bgr) {
    QTextCharFormat f;
    f.setForeground(QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)));
    applyCharFormat(f);
}

std::optional<QString> RichTextBox::selFontName() const {
    const QString fallback = document()->defaultFont().family();
    std::optional<QString> result;
    bool mixed = false;
    forEachSelectedFormat([&](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        const QString family = families.isEmpty() ? fallback : families.first();
        if (result && *result != family)
            mixed = true;
        result = family;
        return !mixed;
    });
    return mixed ? std::nullopt : result;
}

void RichTextBox::setSelFontName(const QString& family) {
    if (family.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    applyCharFormat(f);
}

std::optional<double> RichTextBox::selFontSize() const {
    const double fallback = document()->defaultFont().pointSizeF();
    std::optional<double> result;
    bool mixed = false;
    forEachSelectedFormat([&](const QTextCharFormat& f) {
        const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
        if (result && *result != size)
            mixed = true;
        result = size;
        return !mixed;
    });
    if (mixed || !result || *result <= 0)
        return std::nullopt;
    return result;
}

void RichTextBox::setSelFontSize(double points) {
    if (!std::isfinite(points) || points < 1 || points > 1638)
        return;
    QTextCharFormat f;
    f.setFontPointSize(std::round(points * 2) / 2);
    applyCharFormat(f);
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source)
        return;
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    if (source->hasHtml()) {
        pasted.setHtml(source->html());
        keepListStarts(pasted, source->html());
        givePicturesTheirData(pasted, source);
    } else if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (image.isNull())
            return;
        pasted.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted:1")), image);
        QTextImageFormat format;
        format.setName(QStringLiteral("pasted:1"));
        QTextCursor(&pasted).insertImage(format);
    } else {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextDocument kept;
    kept.setDefaultFont(document()->defaultFont());
    rtf::read(rtf::write(pasted), kept);
    // A fragment carries the pictures' names, not the pictures.
    forEachPicture(kept, [&](const QString& name) {
        document()->addResource(QTextDocument::ImageResource, QUrl(name),
                                kept.resource(QTextDocument::ImageResource, QUrl(name)));
    });
    textCursor().insertFragment(QTextDocumentFragment(&kept));
    ensureCursorVisible();
}

namespace {
// Links to a place in the same document have nowhere to go in a note.
QString linkTarget(const QTextEdit& box, const QMouseEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return {};
    const QString href = box.anchorAt(event->position().toPoint());
    return href.startsWith(u'#') ? QString() : href;
}
} // namespace

void RichTextBox::mousePressEvent(QMouseEvent* event) {
    pressedLink = event->button() == Qt::LeftButton ? linkTarget(*this, event) : QString();
    if (pressedLink.isEmpty())
        QTextEdit::mousePressEvent(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event) {
    const QString pressed = std::exchange(pressedLink, QString());
    if (pressed.isEmpty()) {
        QTextEdit::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton && linkTarget(*this, event) == pressed)
        Q_EMIT linkActivated(pressed);
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event) {
    viewport()->setCursor(linkTarget(*this, event).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    QTextEdit::mouseMoveEvent(event);
}

void RichTextBox::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    QTextDocument* doc = document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int bottom = viewport()->height() + scroll.y();
    // From the top of the view, or of the outermost table there, whose cells come row by row.
    QTextBlock block = cursorForPosition(QPoint(0, 0)).block();
    while (const QTextTable* table = QTextCursor(block).currentTable()) {
        const QTextBlock before = doc->findBlock(table->firstPosition()).previous();
        if (!before.isValid())
            break;
        block = before;
    }
    const QTextCursor selection = textCursor();
    QPainter painter(viewport());
    for (; block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.top() > bottom && !QTextCursor(block).currentTable())
            break;
        const QTextList* list = block.textList();
        if (!list || !block.isVisible() || !rtf::drawsOwnLabels(list->format()) || !block.layout() ||
            block.layout()->lineCount() == 0)
            continue;
        // Where and how Qt draws a label: right-aligned a blank before the first line's text, in
        // the font and colour of the paragraph's first character.
        const QString label = rtf::listLabel(*list, block);
        const QTextCharFormat format = QTextCursor(block).charFormat();
        const QFont font(format.font(), viewport());
        const QFontMetricsF metrics(font);
        const QTextLine line = block.layout()->lineAt(0);
        const QPointF at = box.topLeft() + line.naturalTextRect().topLeft() - scroll;
        const QRectF rect(at.x() - metrics.horizontalAdvance(u' ') - metrics.horizontalAdvance(label), at.y(),
                          metrics.horizontalAdvance(label), metrics.height());
        const bool selected = selection.hasSelection() && selection.selectionStart() <= block.position() &&
                              selection.selectionEnd() > block.position();
        QBrush ink = format.foreground();
        if (selected) {
            painter.fillRect(rect, palette().brush(QPalette::Highlight));
            ink = palette().brush(QPalette::HighlightedText);
        } else if (ink.style() == Qt::NoBrush) {
            ink = palette().brush(QPalette::Text);
        }
        painter.setPen(QPen(ink, 0));
        painter.setFont(font);
        QTextLayout text(label, font, viewport());
        text.beginLayout();
        QTextLine only = text.createLine();
        if (only.isValid())
            only.setLeadingIncluded(true);
        text.endLayout();
        text.draw(&painter, rect.topLeft());
    }
}
