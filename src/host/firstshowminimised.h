// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Shows a top-level window minimised, also one that has never been shown: it lands in the task bar
// or dock (WM_STATE Iconic on X11). Qt 6.4 maps a window never shown before as a normal one even
// when asked for it minimised.
void showMinimisedFromTheStart(QWidget* window);
