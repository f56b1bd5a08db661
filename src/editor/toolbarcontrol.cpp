// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/toolbarcontrol.h"

#include "editor/tooldefinitions.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

ToolBarControl::ToolBarControl(const QString& programFolder, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const ToolBarDefinition& barDef : toolBarDefinitions()) {
        auto* bar = new QToolBar(barDef.name, this);
        bar->setObjectName(barDef.name);
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(barDef.name == QLatin1String("Menu") ? QSize(16, 16) : QSize(32, 32));
        // All the editor's tools share the width of the window, so the buttons keep their padding
        // small and the texts take the small size of the dialog font the tools were laid out for
        // (8 pt at 96 dpi); the desktops' own 10 pt pushed the last tools behind the overflow arrow.
        if (barDef.name == QLatin1String("Menu")) {
            bar->setStyleSheet(QStringLiteral("QToolButton { padding: 1px; margin: 0px; }"));
        }
        if (barDef.name != QLatin1String("Menu"))
            bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        layout->addWidget(bar);
        m_bars << bar;
        QFont small = bar->font();
        small.setPixelSize(11);
        for (const ToolDefinition& def : barDef.tools) {
            if (def.kind == ToolDefinition::Separator) {
                bar->addSeparator();
                continue;
            }
            QAction* action = nullptr;
            if (def.kind == ToolDefinition::Combo) {
                auto* box = new QComboBox(bar);
                box->setObjectName(def.id);
                box->setEditable(true);
                if (barDef.name == QLatin1String("Menu"))
                    box->setFont(small);
                // The list of forgotten reminders shows a text the user cannot type over.
                if (def.id == QLatin1String("ID_Odkazy"))
                    box->lineEdit()->setReadOnly(true);
                box->setToolTip(def.tooltip);
                box->setStatusTip(def.description);
                box->setAccessibleName(def.caption);
                box->setInsertPolicy(QComboBox::NoInsert);
                // Fixed widths: the whole "Menu" toolbar must fit the window's width.
                box->setFixedWidth(def.id == QLatin1String("ID_Size")   ? 46
                                   : def.id == QLatin1String("ID_Font") ? 112
                                                                        : 182);
                const QString id = def.id;
                connect(box, &QComboBox::activated, this, [this, id] { Q_EMIT comboChosen(id); });
                connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                        [this, id] { Q_EMIT comboChosen(id); });
                action = bar->addWidget(box);
                m_combos.insert(def.id, box);
            } else if (def.kind == ToolDefinition::Text) {
                auto* label = new QLabel(def.caption, bar);
                label->setObjectName(def.id);
                label->setToolTip(def.tooltip);
                label->setMargin(4);
                if (barDef.name == QLatin1String("Menu"))
                    label->setFont(small);
                action = bar->addWidget(label);
                m_texts.insert(def.id, label);
            } else {
                action = bar->addAction(def.caption);
                const QString file = programFolder + QLatin1Char('/') + toolPictureFile(def.id);
                if (QFile::exists(file))
                    action->setIcon(QIcon(file));
                action->setToolTip(def.tooltip);
                action->setStatusTip(def.description);
                if (!def.shortcut.isEmpty()) {
                    action->setShortcut(QKeySequence(def.shortcut));
                    action->setShortcutContext(Qt::WindowShortcut);
                }
                if (def.kind == ToolDefinition::Toggle || def.kind == ToolDefinition::GroupToggle) {
                    action->setCheckable(true);
                    action->setChecked(def.pressed);
                }
                if (def.kind == ToolDefinition::GroupToggle) {
                    QActionGroup*& group = m_groups[def.group];
                    if (!group)
                        group = new QActionGroup(this);
                    group->addAction(action);
                }
                const QString id = def.id;
                connect(action, &QAction::triggered, this, [this, id] { Q_EMIT toolClicked(id); });
                if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
                    button->setObjectName(def.id);
            }
            action->setObjectName(def.id);
            m_tools.insert(def.id, action);
        }
    }
}

QToolBar* ToolBarControl::toolbar(int position) const {
    return m_bars.value(position - 1);
}
QAction* ToolBarControl::tool(const QString& id) const {
    return m_tools.value(id);
}
QComboBox* ToolBarControl::combo(const QString& id) const {
    return m_combos.value(id);
}
QLabel* ToolBarControl::textTool(const QString& id) const {
    return m_texts.value(id);
}

QWidget* ToolBarControl::toolWidget(const QString& id) const {
    QAction* action = tool(id);
    if (!action)
        return nullptr;
    for (QToolBar* bar : m_bars)
        if (QWidget* w = bar->widgetForAction(action))
            return w;
    return nullptr;
}

void ToolBarControl::setToolPicture(const QString& id, const QPixmap& picture) {
    if (QAction* a = tool(id))
        a->setIcon(QIcon(picture));
}

void ToolBarControl::setPressed(const QString& id, bool pressed) {
    if (QAction* a = tool(id))
        a->setChecked(pressed);
}

bool ToolBarControl::isPressed(const QString& id) const {
    QAction* a = tool(id);
    return a && a->isChecked();
}

void ToolBarControl::setToolVisible(const QString& id, bool visible) {
    if (QAction* a = tool(id))
        a->setVisible(visible);
}

bool ToolBarControl::isToolVisible(const QString& id) const {
    QAction* a = tool(id);
    return a && a->isVisible();
}

void ToolBarControl::setToolTipText(const QString& id, const QString& tooltip) {
    if (QAction* a = tool(id))
        a->setToolTip(tooltip);
}

void ToolBarControl::fitComboToTexts(const QString& id, const QStringList& texts) {
    QComboBox* box = combo(id);
    if (!box)
        return;
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    // The line edit inside keeps a few pixels of its own on each side.
    const QSize contents(widest + 6, box->fontMetrics().height());
    box->setFixedWidth(box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, box).width());
}

void ToolBarControl::click(const QString& id) {
    if (combo(id)) {
        Q_EMIT comboChosen(id);
        return;
    }
    if (QAction* a = tool(id))
        a->trigger();
}
