// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <optional>

// A sound as the sound server takes it: interleaved samples in one of the formats a WAV file
// holds without compression.
struct PcmSound {
    enum class Format { U8, S16LE, S24LE, S32LE, Float32LE };
    Format format = Format::S16LE;
    int rate = 0;
    int channels = 0;
    QByteArray samples;
};

namespace WaveFile {
// The samples of a RIFF WAVE file (PCM or float, also in the extensible header); nothing for any
// other file, a compressed WAV among them. A data chunk cut short gives the whole frames there are.
std::optional<PcmSound> read(const QByteArray& file);
} // namespace WaveFile
