// SPDX-License-Identifier: GPL-3.0-or-later
// pripomin-melody: plays one melody to the desktop's sound server (PulseAudio, or PipeWire in its
// place) and ends when it has played. The melody comes on standard input: a line "FORMAT RATE
// CHANNELS" (FORMAT one of u8, s16le, s24le, s32le, float32le), then the samples. The program starts
// a player before a melody is due, so none has to start when it is, and ends it to stop the melody;
// the sound server's client library, which is large, is never part of the program itself.
#include "melodyformat.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

bool sampleFormat(std::string_view name, pa_sample_format_t& format) {
    // The sound server's formats, in the order of the words.
    static constexpr std::array<pa_sample_format_t, MelodyFormat::kNames.size()> kFormats{
        PA_SAMPLE_U8, PA_SAMPLE_S16LE, PA_SAMPLE_S24LE, PA_SAMPLE_S32LE, PA_SAMPLE_FLOAT32LE};
    for (std::size_t i = 0; i < kFormats.size(); ++i)
        if (name == MelodyFormat::kNames[i]) {
            format = kFormats[i];
            return true;
        }
    return false;
}

bool number(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

enum class Header { Read, None, Malformed };

// The melody's first line, read a byte at a time so that none of the samples after it is taken.
// A player that is ended before its melody comes gets none.
Header readHeader(pa_sample_spec& spec) {
    std::array<char, 64> line{};
    std::size_t length = 0;
    for (;;) {
        char c = 0;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return length == 0 ? Header::None : Header::Malformed;
        if (length + 1 == line.size())
            return Header::Malformed;
        if (c == '\n')
            break;
        line[length++] = c;
    }
    std::array<char, 16> format{};
    std::array<char, 16> rateText{};
    std::array<char, 16> channelsText{};
    long rate = 0;
    long channels = 0;
    if (std::sscanf(line.data(), "%15s %15s %15s", format.data(), rateText.data(), channelsText.data()) !=
            3 ||
        !sampleFormat(format.data(), spec.format) || !number(rateText.data(), 1, PA_RATE_MAX, rate) ||
        !number(channelsText.data(), 1, PA_CHANNELS_MAX, channels))
        return Header::Malformed;
    spec.rate = uint32_t(rate);
    spec.channels = uint8_t(channels);
    return Header::Read;
}

} // namespace

int main() {
    pa_sample_spec spec{};
    const Header header = readHeader(spec);
    if (header == Header::None)
        return 0;
    if (header == Header::Malformed) {
        std::fputs(
            "pripomin-melody: standard input holds no melody (\"FORMAT RATE CHANNELS\", then samples)\n",
            stderr);
        return 2;
    }
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Pripomin", PA_STREAM_PLAYBACK, nullptr, "Pripomin", &spec,
                                      nullptr, nullptr, &error);
    if (!stream) {
        std::fprintf(stderr, "Pripomin: the melody cannot be played: %s\n", pa_strerror(error));
        return 1;
    }
    // The server takes whole frames only; a piece's last partial frame waits for the next piece.
    const std::size_t frame = pa_frame_size(&spec);
    std::array<char, 8192> buffer;
    std::size_t held = 0;
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buffer.data() + held, buffer.size() - held);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        held += std::size_t(got);
        const std::size_t whole = held - held % frame;
        if (whole > 0 && pa_simple_write(stream, buffer.data(), whole, &error) < 0) {
            std::fprintf(stderr, "Pripomin: the melody broke off: %s\n", pa_strerror(error));
            pa_simple_free(stream);
            return 1;
        }
        std::memmove(buffer.data(), buffer.data() + whole, held - whole);
        held -= whole;
    }
    pa_simple_drain(stream, &error);
    pa_simple_free(stream);
    return 0;
}
