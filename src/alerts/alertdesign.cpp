// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertdesign.h"

#include <cmath>

namespace AlertDesigns {

namespace {
// The framed windows share everything but the picture.
constexpr AlertDesign framed(const char* name, int slot, const char* picture) {
    return {name,         slot,
            picture,      {5130, 3855},
            std::nullopt, {240, 240, 4095, 495},
            {4560, 240},  {240, 840, 4695, 2775},
            true};
}
} // namespace

const AlertDesign Správa = framed("Správa", 1, "Sprava.bmp");
const AlertDesign Správa1{"Správa1",
                          2,
                          "Sprava1.bmp",
                          {4650, 6660},
                          QPoint(5355, 2430),
                          {1320, 2280, 2175, 615},
                          {3840, 3600},
                          {960, 2880, 2655, 2295},
                          false};
const AlertDesign Správa2{"Správa2",
                          3,
                          "Sprava2.bmp",
                          {3870, 5145},
                          QPoint(5745, 3180),
                          {840, 240, 2775, 495},
                          {600, 4200},
                          {1080, 840, 2535, 3615},
                          false};
const AlertDesign Správa3{"Správa3",
                          4,
                          "Sprava3.bmp",
                          {4710, 5820},
                          QPoint(5325, 2850),
                          {840, 1080, 2895, 495},
                          {4200, 480},
                          {960, 1680, 2775, 3015},
                          false};
const AlertDesign Správa4{"Správa4",
                          5,
                          "Sprava4.bmp",
                          {6645, 4515},
                          QPoint(4350, 3495),
                          {2160, 480, 2415, 375},
                          {5880, 2160},
                          {1200, 960, 4335, 2535},
                          false};
const AlertDesign Správa5{"Správa5",
                          6,
                          "Sprava5.bmp",
                          {5610, 5550},
                          QPoint(4875, 2985),
                          {1440, 840, 2775, 495},
                          {4440, 1440},
                          {1320, 1440, 2895, 3255},
                          false};
const AlertDesign Správa6 = framed("Správa6", 7, "Sprava6.bmp");
const AlertDesign Správa7 = framed("Správa7", 8, "Sprava7.bmp");
const AlertDesign Správa8 = framed("Správa8", 9, "Sprava.bmp");
const AlertDesign Správa9 = framed("Správa9", 10, "Sprava10.bmp");
const AlertDesign Správa10 = framed("Správa10", 11, "Sprava10.bmp");
const AlertDesign Správa11 = framed("Správa11", 12, "Sprava11.bmp");

const AlertDesign* forSlot(int slot) {
    static const std::array<const AlertDesign*, 12> bySlot{&Správa,  &Správa1, &Správa2,  &Správa3,
                                                           &Správa4, &Správa5, &Správa6,  &Správa7,
                                                           &Správa8, &Správa9, &Správa10, &Správa11};
    if (slot < 1 || slot > 12)
        return nullptr;
    return bySlot[slot - 1];
}

} // namespace AlertDesigns
