// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextFormat>

// Properties the RTF reader puts on a document's formats for what QTextDocument has no attribute
// of its own, and the writer reads back.
namespace rtf {

enum Property {
    // \v: the text is kept but not shown; the size and colour it would have are kept beside it.
    HiddenText = QTextFormat::UserProperty + 0x5200,
    HiddenPointSize,
    HiddenForeground,
    // The font's \fcharset (an int); without it the writer names Windows-1250.
    FontCharset,
    // A list paragraph's \fi in twips: the label hangs there, so the block's own indent stays 0.
    ListFirstIndent,
    // A picture read from a note: its \pict control words and its data, written back as they were.
    PictureHeader,
    PictureData,
    // A numbered list's first number (an int) when it is not 1. Qt counts every list from 1, so
    // such a list has no style of Qt's (which draws no label but keeps the indent); its numbering
    // style is kept in ListNumberStyle, and RichTextBox draws its labels (see rtflist.h).
    ListStart,
    ListNumberStyle,
    // A list's level in its outline (an int, 1 to 8) when it is not the outermost.
    ListLevel,
};

} // namespace rtf
