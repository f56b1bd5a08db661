// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

// The tools of the two toolbars of Lišta1, in their order.
struct ToolDefinition {
    enum Kind { Button, Toggle, GroupToggle, Combo, Text, Separator, LargeIcon };
    QString id;
    Kind kind;
    QString caption;
    QString description; // shown as status tip
    QString tooltip;
    QString group;    // exclusive group of GroupToggle tools
    QString shortcut; // the key its tooltip names
    bool pressed = false;
};

struct ToolBarDefinition {
    QString name;
    std::vector<ToolDefinition> tools;
};

// "Menu" and "Zabudnuté odkazy".
const std::vector<ToolBarDefinition>& toolBarDefinitions();

// The picture file of a tool in the program's folder ("tool_ID_Bold.png").
QString toolPictureFile(const QString& id);
