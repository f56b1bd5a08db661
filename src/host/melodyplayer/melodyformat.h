// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program and the melody's player say to each other: a line "FORMAT RATE CHANNELS", then
// the samples. Without Qt, as the player has none.
#include <array>
#include <string_view>

namespace MelodyFormat {
// The sample formats' words, in the order of PcmSound::Format.
inline constexpr std::array<std::string_view, 5> kNames{"u8", "s16le", "s24le", "s32le", "float32le"};
} // namespace MelodyFormat
