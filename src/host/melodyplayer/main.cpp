// SPDX-License-Identifier: GPL-3.0-or-later
// pripomin-melody FORMAT RATE CHANNELS: plays the samples that come on standard input to the
// desktop's sound server (PulseAudio, or PipeWire in its place) and ends when they have played.
// The program starts one for each melody and ends it to stop the melody, so the sound server's
// client library, which is large, is never part of the program itself.
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
    static constexpr std::pair<std::string_view, pa_sample_format_t> kFormats[] = {
        {"u8", PA_SAMPLE_U8},
        {"s16le", PA_SAMPLE_S16LE},
        {"s24le", PA_SAMPLE_S24LE},
        {"s32le", PA_SAMPLE_S32LE},
        {"float32le", PA_SAMPLE_FLOAT32LE}};
    for (const auto& [known, value] : kFormats)
        if (name == known) {
            format = value;
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

} // namespace

int main(int argc, char** argv) {
    pa_sample_spec spec{};
    long rate = 0;
    long channels = 0;
    if (argc != 4 || !sampleFormat(argv[1], spec.format) || !number(argv[2], 1, PA_RATE_MAX, rate) ||
        !number(argv[3], 1, PA_CHANNELS_MAX, channels)) {
        std::fputs("usage: pripomin-melody u8|s16le|s24le|s32le|float32le RATE CHANNELS <samples\n", stderr);
        return 2;
    }
    spec.rate = uint32_t(rate);
    spec.channels = uint8_t(channels);
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
