// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>

// What tells the twelve alert windows apart: picture, size, placement and the places of their
// controls. Geometry in twips (1440 per inch); rectangles as left, top, width, height.
struct AlertDesign {
    const char* name; // the window's design name, also its objectName (UTF-8)
    int slot;
    const char* picture;                  // background picture in the program's folder
    QSize size;                           // window size
    std::optional<QPoint> storedPosition; // top-left corner; none: centred on the screen at load
    QRect label1;
    QPoint image1;
    QRect hlásenie;
    // Framed windows have Line1 under a blue message and close on Esc at window level as well.
    bool framed;
};

namespace AlertDesigns {
inline constexpr QSize kImage1Size{18, 18}; // pixels, in every window
inline constexpr QLine kLine1{240, 720, 4920, 720};
inline constexpr QColor kFramedLabelColor{0, 0, 192};
inline constexpr const char* kOkPicture = "SpravaOK.bmp";

extern const AlertDesign Správa;
extern const AlertDesign Správa1;
extern const AlertDesign Správa2;
extern const AlertDesign Správa3;
extern const AlertDesign Správa4;
extern const AlertDesign Správa5;
extern const AlertDesign Správa6;
extern const AlertDesign Správa7;
extern const AlertDesign Správa8;
extern const AlertDesign Správa9;
extern const AlertDesign Správa10;
extern const AlertDesign Správa11;

// The design of slot 1..12; nullptr outside that range.
const AlertDesign* forSlot(int slot);
} // namespace AlertDesigns
