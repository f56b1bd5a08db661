// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/wavefile.h"

#include <QtEndian>

namespace {
constexpr quint16 kPcm = 1;
constexpr quint16 kFloat = 3;
constexpr quint16 kExtensible = 0xfffe;

quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

std::optional<PcmSound::Format> formatOf(quint16 tag, int bits) {
    if (tag == kFloat)
        return bits == 32 ? std::optional(PcmSound::Format::Float32LE) : std::nullopt;
    if (tag != kPcm)
        return std::nullopt;
    switch (bits) {
    case 8:
        return PcmSound::Format::U8;
    case 16:
        return PcmSound::Format::S16LE;
    case 24:
        return PcmSound::Format::S24LE;
    case 32:
        return PcmSound::Format::S32LE;
    default:
        return std::nullopt;
    }
}
} // namespace

std::optional<PcmSound> WaveFile::read(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<PcmSound> sound;
    int frameBytes = 0;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const char* chunk = file.constData() + at;
        const qsizetype size = u32(chunk + 4);
        const qsizetype available = std::min<qsizetype>(size, file.size() - at - 8);
        const char* body = chunk + 8;
        if (qstrncmp(chunk, "fmt ", 4) == 0 && available >= 16) {
            quint16 tag = u16(body);
            const int channels = u16(body + 2);
            const int rate = int(u32(body + 4));
            const int bits = u16(body + 14);
            // The extensible header names the real format in the first two bytes of its GUID.
            if (tag == kExtensible && available >= 26)
                tag = u16(body + 24);
            const auto format = formatOf(tag, bits);
            if (!format || channels < 1 || channels > 32 || rate < 1 || rate > 384000)
                return std::nullopt;
            sound = PcmSound{*format, rate, channels, {}};
            frameBytes = channels * bits / 8;
        } else if (qstrncmp(chunk, "data", 4) == 0) {
            if (!sound)
                return std::nullopt; // the format must come first
            sound->samples = QByteArray(body, available - available % frameBytes);
            return sound->samples.isEmpty() ? std::nullopt : sound;
        }
        at += 8 + size + (size & 1); // chunks are padded to an even length
    }
    return std::nullopt;
}
