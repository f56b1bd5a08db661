// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertoutline.h"

#include <QPolygon>
#include <array>
#include <cmath>

namespace {
using P = DesignPoint;

// Framed windows: the 342 x 257 window less its two left columns and top row, reaching two rows
// below the bottom edge (harmless, a region is clipped to its window).
constexpr std::array<P, 2> kFrameRect{{{2, 1}, {342, 259}}};
// The oval's top lies one pixel above the window.
constexpr std::array<P, 2> kOvalEllipse{{{1, -1}, {443, 301}}};
constexpr std::array<P, 2> kCircleEllipse{{{2, 0}, {374, 370}}};

// The alarm clock: A the two bells and the handle, B the body and the feet.
constexpr std::array<P, 57> kClockBells{{
    {27, 138},  {23, 119}, {25, 107}, {39, 88},  {52, 76},  {58, 72},   {71, 69},   {104, 19},  {110, 13},
    {115, 7},   {125, 3},  {136, 1},  {146, 1},  {162, 1},  {170, 3},   {175, 3},   {184, 5},   {190, 7},
    {191, 7},   {233, 68}, {242, 69}, {254, 75}, {273, 93}, {280, 105}, {282, 114}, {283, 123}, {278, 137},
    {271, 134}, {171, 88}, {187, 70}, {199, 65}, {213, 66}, {216, 66},  {184, 22},  {174, 18},  {166, 16},
    {158, 13},  {148, 13}, {141, 14}, {124, 18}, {114, 25}, {108, 34},  {99, 48},   {92, 59},   {88, 66},
    {97, 66},   {102, 66}, {116, 69}, {120, 70}, {119, 71}, {130, 84},  {135, 89},  {137, 91},  {117, 98},
    {26, 140},  {24, 123}, {24, 118},
}};
constexpr std::array<P, 83> kClockBody{{
    {163, 41},  {170, 47},  {172, 51},  {173, 59},  {170, 66},  {172, 61},  {168, 66},  {163, 68},
    {161, 69},  {157, 100}, {175, 102}, {194, 105}, {205, 109}, {217, 113}, {233, 120}, {251, 132},
    {263, 142}, {275, 156}, {286, 169}, {295, 182}, {294, 183}, {299, 198}, {304, 209}, {309, 234},
    {310, 247}, {310, 258}, {310, 274}, {306, 289}, {300, 308}, {292, 328}, {284, 342}, {273, 356},
    {262, 367}, {252, 377}, {242, 383}, {234, 389}, {247, 421}, {248, 438}, {243, 443}, {236, 443},
    {228, 441}, {227, 436}, {214, 398}, {207, 402}, {195, 405}, {184, 406}, {168, 442}, {143, 442},
    {127, 407}, {116, 405}, {108, 402}, {93, 397},  {81, 430},  {75, 441},  {71, 444},  {64, 444},
    {58, 438},  {55, 431},  {59, 420},  {72, 388},  {54, 371},  {38, 356},  {26, 339},  {14, 317},
    {6, 296},   {2, 272},   {0, 256},   {0, 242},   {0, 234},   {4, 217},   {11, 195},  {23, 169},
    {29, 162},  {44, 147},  {61, 131},  {93, 114},  {125, 104}, {150, 100}, {156, 66},  {146, 56},
    {151, 46},  {159, 41},  {162, 41},
}};
// The notepad sheet with its shadow.
constexpr std::array<P, 32> kNotepad{{
    {258, 3},   {256, 16},  {249, 49}, {251, 256}, {249, 279}, {249, 288}, {247, 317}, {210, 313},
    {164, 320}, {100, 325}, {45, 330}, {10, 340},  {0, 343},   {0, 264},   {0, 222},   {3, 179},
    {5, 133},   {18, 67},   {22, 27},  {36, 27},   {39, 14},   {45, 13},   {46, 8},    {66, 5},
    {93, 4},    {117, 3},   {145, 2},  {174, 0},   {208, 0},   {253, 2},   {258, 3},   {258, 9},
}};
// The postage stamp with its wavy edge.
constexpr std::array<P, 145> kStamp{{
    {6, 6},     {28, 7},    {45, 6},    {51, 6},    {53, 18},   {53, 20},   {56, 27},   {65, 29},
    {71, 26},   {79, 11},   {78, 9},    {93, 9},    {114, 7},   {118, 20},  {123, 30},  {134, 30},
    {146, 13},  {146, 11},  {168, 11},  {179, 8},   {183, 25},  {189, 32},  {201, 32},  {209, 14},
    {218, 11},  {236, 10},  {246, 10},  {246, 21},  {252, 32},  {261, 33},  {270, 29},  {275, 13},
    {297, 13},  {312, 13},  {314, 13},  {313, 25},  {310, 43},  {311, 60},  {312, 75},  {300, 76},
    {294, 82},  {292, 89},  {291, 97},  {296, 105}, {306, 112}, {306, 128}, {308, 144}, {309, 151},
    {295, 156}, {288, 165}, {289, 179}, {295, 184}, {303, 188}, {304, 230}, {290, 234}, {284, 243},
    {284, 252}, {289, 260}, {298, 266}, {300, 277}, {300, 302}, {301, 306}, {290, 309}, {282, 317},
    {282, 332}, {288, 338}, {297, 343}, {302, 344}, {307, 386}, {291, 382}, {268, 382}, {268, 375},
    {260, 366}, {250, 366}, {244, 375}, {243, 388}, {229, 382}, {208, 383}, {208, 383}, {208, 374},
    {201, 364}, {190, 364}, {184, 372}, {184, 380}, {182, 384}, {166, 381}, {150, 381}, {146, 370},
    {137, 364}, {129, 365}, {125, 372}, {124, 379}, {124, 386}, {113, 382}, {98, 382},  {85, 382},
    {88, 375},  {84, 367},  {76, 364},  {64, 367},  {62, 381},  {62, 385},  {52, 382},  {48, 382},
    {39, 381},  {28, 383},  {20, 385},  {16, 386},  {18, 353},  {18, 339},  {27, 330},  {33, 325},
    {34, 315},  {26, 304},  {12, 303},  {15, 281},  {14, 261},  {15, 263},  {25, 255},  {32, 249},
    {32, 238},  {23, 228},  {12, 225},  {12, 190},  {14, 182},  {27, 173},  {29, 164},  {24, 154},
    {16, 148},  {7, 147},   {9, 109},   {9, 103},   {10, 105},  {22, 97},   {29, 87},   {25, 80},
    {17, 71},   {6, 70},    {4, 62},    {6, 66},    {9, 50},    {6, 27},    {6, 14},    {5, 8},
    {8, 9},
}};

using K = OutlinePrimitive::Kind;
constexpr std::array<OutlinePrimitive, 1> kFramed{{{K::Rectangle, kFrameRect}}};
constexpr std::array<OutlinePrimitive, 2> kClock{{{K::Polygon, kClockBells}, {K::Polygon, kClockBody}}};
constexpr std::array<OutlinePrimitive, 1> kSheet{{{K::Polygon, kNotepad}}};
constexpr std::array<OutlinePrimitive, 1> kPostage{{{K::Polygon, kStamp}}};
constexpr std::array<OutlinePrimitive, 1> kOval{{{K::Ellipse, kOvalEllipse}}};
constexpr std::array<OutlinePrimitive, 1> kCircle{{{K::Ellipse, kCircleEllipse}}};

QPoint devicePoint(P p, float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY,
                   Twips::PerPixel screen) {
    return {AlertOutlines::deviceCoordinate(p.x, scaleX, screen.x, offsetX),
            AlertOutlines::deviceCoordinate(p.y, scaleY, screen.y, offsetY)};
}

QRegion primitiveRegion(const OutlinePrimitive& primitive, float scaleX, float scaleY, std::int16_t offsetX,
                        std::int16_t offsetY, Twips::PerPixel screen) {
    QPolygon device;
    device.reserve(int(primitive.points.size()));
    for (const P& p : primitive.points)
        device << devicePoint(p, scaleX, scaleY, offsetX, offsetY, screen);
    switch (primitive.kind) {
    case K::Rectangle:
    case K::Ellipse: {
        // The corners name the edges; the right and bottom ones lie outside, as QRect's size counts.
        const QRect box(device[0], QSize(device[1].x() - device[0].x(), device[1].y() - device[0].y()));
        return primitive.kind == K::Rectangle ? QRegion(box) : QRegion(box, QRegion::Ellipse);
    }
    case K::Polygon:
        return QRegion(device, Qt::OddEvenFill);
    }
    return {};
}
} // namespace

namespace AlertOutlines {

AlertOutline forSlot(int slot) {
    switch (slot) {
    case 2:
        return kClock;
    case 3:
        return kSheet;
    case 4:
        return kPostage;
    case 5:
        return kOval;
    case 6:
        return kCircle;
    default:
        return kFramed;
    }
}

int deviceCoordinate(std::int16_t c, float scale, double twipsPerPixel, std::int16_t offset) {
    // Design value and offset enter as single precision; the result is rounded half to even
    // (the default rounding mode), so 427.5 becomes 428 and 2.5 becomes 2.
    const double v =
        double(float(c)) * double(scale) * Twips::kPerDesignPixel / twipsPerPixel + double(float(offset));
    return int(std::nearbyint(v));
}

QRegion vytvortvar(AlertOutline outline, float scaleX, float scaleY, std::int16_t offsetX,
                   std::int16_t offsetY, Twips::PerPixel screen) {
    QRegion region;
    for (const OutlinePrimitive& primitive : outline)
        region = region.united(primitiveRegion(primitive, scaleX, scaleY, offsetX, offsetY, screen));
    return region;
}

} // namespace AlertOutlines
