// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <array>

class QCalendarWidget;
class QDateTimeEdit;
class QLabel;
class QTabWidget;
class QWidget;
class RichTextBox;
class ToolBarControl;

// The main window's controls, by their design names.
struct MainWindowControls {
    ToolBarControl* Lišta1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    std::array<QDateTimeEdit*, 12> DTPicker{};
    std::array<QLabel*, 12> Image{};
    RichTextBox* RichTextBox1 = nullptr;
    RichTextBox* RichTextBox13 = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QCalendarWidget* MonthView2 = nullptr;
    RichTextBox* zabudnuté = nullptr;
};

// The time pickers' value as designed, before the settings are read.
QDateTime pickerDesignValue();

// Makes the controls in the window at their design places and sizes (twips, 15 to a pixel), with
// their design values; nothing is wired yet.
MainWindowControls buildMainWindowControls(QWidget* window, const QString& programFolder);
