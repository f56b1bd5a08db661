// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTextListFormat>

class QTextBlock;
class QTextList;

// A list's numbering as a note keeps it, also for the lists that start at a number other than 1
// (rtfformat.h): what every reader of a QTextList's numbers asks here instead of Qt.
namespace rtf {

// The list's numbering or bullet style.
QTextListFormat::Style listStyle(const QTextListFormat& format);
// The number of its first item.
int listStart(const QTextListFormat& format);
bool isBulletStyle(int style);
// A format of the given style whose first item has the number `start`.
QTextListFormat numberedListFormat(QTextListFormat::Style style, int start);
// What follows a number: Qt's "." unless the list says otherwise.
QString listSuffix(const QTextListFormat& format);
// The item's label, such as "5." or "iv)"; empty for a bullet.
QString listLabel(const QTextList& list, const QTextBlock& block);
// The list's level in its outline, 0 to 8: as read from a note, or else by how deep a pasted list
// is nested.
int listLevel(const QTextListFormat& format);
// True when the editor draws the list's labels itself, since Qt would number it from 1.
bool drawsOwnLabels(const QTextListFormat& format);

} // namespace rtf
