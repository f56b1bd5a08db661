// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

// Reads RTF as WordPad, RichEdit and Word write it. Never throws; malformed input gives the text
// that could be recovered. Characters from U+0080 up in the input are taken as they are (the
// caller has already decoded the file), while \'hh escapes are decoded by the code page of the
// current font's \fcharset or else the document's \ansicpg.
namespace rtf {

// True when the text is an RTF document: "{\rtf" after optional white space or a byte-order mark.
bool isRtf(QStringView text);

// Replaces the whole content of the document. Text that is not RTF is taken as plain text.
// Every run gets an explicit font family, size, weight, italic and underline, so that what is
// read writes back unchanged; strikethrough, super- and subscript, highlight, hidden text (see
// rtfformat.h), the font's charset and family, links (HYPERLINK fields), paragraph indents,
// spacing and line spacing, and WordPad's and Word's lists (as QTextList) come along.
// Footnotes, headers, footers and comments are left out with their marks.
void read(QStringView text, QTextDocument& document);

// The text that read() would put into a document, as QTextDocument::toPlainText() gives it:
// paragraphs and line breaks end with '\n' (none after the last paragraph), table cells are
// separated by '\t', and a list paragraph starts with the label the file gives for readers
// without lists (such as "1.\t").
QString plainText(QStringView text);

} // namespace rtf
