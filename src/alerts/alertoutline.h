// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/twips.h"

#include <QRegion>
#include <cstdint>
#include <span>
#include <vector>

// The outline an alert window is cut to: one or two primitives in design pixels (96 dots per
// inch, origin at the window's top-left corner), united. Pure geometry, no widgets.
struct DesignPoint {
    std::int16_t x;
    std::int16_t y;
};

struct OutlinePrimitive {
    enum class Kind { Rectangle, Ellipse, Polygon };
    Kind kind;
    // Rectangle and ellipse: the two corners (x1, y1) and (x2, y2), the right and bottom edges
    // outside. Polygon: the points in order, closed, filled by the even-odd rule.
    std::span<const DesignPoint> points;
};

using AlertOutline = std::span<const OutlinePrimitive>;

// The screen's twips per pixel (1440 / logical dots per inch), read by the window for every build.

namespace AlertOutlines {
// The outline of the window of slot 1..12.
AlertOutline forSlot(int slot);

// c * scale * 15 / twipsPerPixel + offset, to the nearest integer with halves to the even neighbour.
int deviceCoordinate(std::int16_t c, float scale, double twipsPerPixel, std::int16_t offset);

// Builds the region of an outline in device pixels.
QRegion vytvortvar(AlertOutline outline, float scaleX, float scaleY, std::int16_t offsetX,
                   std::int16_t offsetY, Twips::PerPixel screen);
} // namespace AlertOutlines
