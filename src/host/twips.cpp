// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/twips.h"

#include <QScreen>
#include <cmath>

namespace Twips {

PerPixel perPixel(const QScreen* screen) {
    if (!screen)
        return {};
    return {1440.0 / screen->logicalDotsPerInchX(), 1440.0 / screen->logicalDotsPerInchY()};
}

int toPixels(double twips, double twipsPerPixel) {
    return int(std::nearbyint(twips / twipsPerPixel));
}

QRect toPixels(const QRect& twips, PerPixel perPixel) {
    return QRect(toPixels(twips.x(), perPixel.x), toPixels(twips.y(), perPixel.y),
                 toPixels(twips.width(), perPixel.x), toPixels(twips.height(), perPixel.y));
}

} // namespace Twips
