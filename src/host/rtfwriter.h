// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QTextDocument;

namespace rtf {

// The whole document as RTF that WordPad, Word and LibreOffice open with the same text and
// formatting: Windows-1250 as the document code page, a font table with charsets, a colour table,
// paragraphs with their alignment, indents, spacing and list (in WordPad's \pn form, with the
// label as \pntext) and runs with bold, italic, underline, strikethrough, super/subscript, hidden
// text, colour, highlight, font and size; links as HYPERLINK fields.
// Pure ASCII: every other character is written as \uN followed by its Windows-1250 byte (or '?')
// for readers that do not know \u. Reading the result and writing it again gives the same text.
QString write(const QTextDocument& document);

// The Windows-1250 byte of a character, or -1 when the code page has none.
int windows1250Byte(char16_t c);

} // namespace rtf
