#include "host/richtextbox.h"

// Placeholder until the RTF reader and writer land: keeps the content as HTML.
RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::contentChanged);
}
QString RichTextBox::textRTF() const { return toHtml(); }
void RichTextBox::setTextRTF(const QString& rtf) { setHtml(rtf); }
void RichTextBox::setText(const QString& plain) { setPlainText(plain); }
QString RichTextBox::text() const { return toPlainText(); }
RichTextBox::Tri RichTextBox::selBold() const { return Tri::False; }
RichTextBox::Tri RichTextBox::selItalic() const { return Tri::False; }
RichTextBox::Tri RichTextBox::selUnderline() const { return Tri::False; }
void RichTextBox::setSelBold(bool) {}
void RichTextBox::setSelItalic(bool) {}
void RichTextBox::setSelUnderline(bool) {}
std::optional<int> RichTextBox::selAlignment() const { return 0; }
void RichTextBox::setSelAlignment(int) {}
void RichTextBox::setSelColor(quint32) {}
std::optional<QString> RichTextBox::selFontName() const { return std::nullopt; }
void RichTextBox::setSelFontName(const QString&) {}
std::optional<double> RichTextBox::selFontSize() const { return std::nullopt; }
void RichTextBox::setSelFontSize(double) {}
