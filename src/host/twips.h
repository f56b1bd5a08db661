// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QScreen;

// Window geometry is designed in twips, 1440 to an inch: 15 to a pixel at 96 dots per inch.
namespace Twips {
inline constexpr double kPerDesignPixel = 15.0;

// Twips per pixel on the screen, across and down: 1440 / its logical dots per inch (15 without one).
struct PerPixel {
    double x = kPerDesignPixel;
    double y = kPerDesignPixel;
};
PerPixel perPixel(const QScreen* screen);

// A length in twips in whole pixels, to the nearest pixel (a half to the even one).
int toPixels(double twips, double twipsPerPixel = kPerDesignPixel);
QRect toPixels(const QRect& twips, PerPixel perPixel = {});
} // namespace Twips
