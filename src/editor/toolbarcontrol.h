// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QToolBar;

// One toolbar control holding the toolbars "Menu" (position 1) and "Zabudnuté odkazy" (position 2).
// Tools are addressed by their text id; the control presses toggles itself and releases the other
// members of an exclusive group.
class ToolBarControl : public QWidget {
    Q_OBJECT
  public:
    // Pictures are read from programFolder; a missing picture leaves the tool with its caption.
    explicit ToolBarControl(const QString& programFolder, QWidget* parent = nullptr);

    QToolBar* toolbar(int position) const;
    QAction* tool(const QString& id) const;
    QComboBox* combo(const QString& id) const;
    QLabel* textTool(const QString& id) const;
    QWidget* toolWidget(const QString& id) const; // the button or box that shows a tool

    void setToolPicture(const QString& id, const QPixmap& picture);
    void setPressed(const QString& id, bool pressed);
    bool isPressed(const QString& id) const;
    void setToolVisible(const QString& id, bool visible);
    bool isToolVisible(const QString& id) const;
    void setToolTipText(const QString& id, const QString& tooltip);

    // As if the user clicked the tool or chose in the combo.
    void click(const QString& id);
    // Makes a combo tool just wide enough to show each of the texts whole.
    void fitComboToTexts(const QString& id, const QStringList& texts);

  Q_SIGNALS:
    void toolClicked(const QString& id);
    void comboChosen(const QString& id);

  private:
    QList<QToolBar*> m_bars;
    QHash<QString, QAction*> m_tools;
    QHash<QString, QComboBox*> m_combos;
    QHash<QString, QLabel*> m_texts;
    QHash<QString, QActionGroup*> m_groups;
};
