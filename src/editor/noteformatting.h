// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <functional>

class RichTextBox;
class ToolBarControl;

// The toolbar's formatting commands on the note editor: bold, italic, underline, alignment, the
// four colours, the font and size lists, and the toolbar following the selection's format.
class NoteFormatting {
  public:
    NoteFormatting(RichTextBox* editor, ToolBarControl* toolbar, QString programFolder);

    // The formatting tools by id and what each does. A colour whose picture file is missing or
    // unreadable throws RunTimeError, which the toolbar's handler reports.
    QHash<QString, std::function<void()>> toolActions();
    // A font or size chosen in its list applies to the selection.
    void Lišta1_ComboClick(const QString& id);
    // The size and font lists and the alignment buttons show the selection's format.
    void showSelectionFormat();

  private:
    void colour(const QString& id, const QString& file, quint32 colour);

    RichTextBox* m_editor;
    ToolBarControl* m_toolbar;
    QString m_programFolder;
};
