// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/soundplugin/pulsesound.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QtGlobal>
#include <algorithm>
#include <chrono>

namespace {
// Written in pieces of about a tenth of a second, so a stop is heard within one.
constexpr qsizetype kPiece = 4096;

pa_sample_format_t pulseFormat(PcmSound::Format format) {
    switch (format) {
    case PcmSound::Format::U8:
        return PA_SAMPLE_U8;
    case PcmSound::Format::S16LE:
        return PA_SAMPLE_S16LE;
    case PcmSound::Format::S24LE:
        return PA_SAMPLE_S24LE;
    case PcmSound::Format::S32LE:
        return PA_SAMPLE_S32LE;
    case PcmSound::Format::Float32LE:
        return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_S16LE;
}

void playToServer(const PcmSound& sound, const std::atomic<bool>& stop) {
    const pa_sample_spec spec{pulseFormat(sound.format), uint32_t(sound.rate), uint8_t(sound.channels)};
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Pripomin", PA_STREAM_PLAYBACK, nullptr, "Pripomin", &spec,
                                      nullptr, nullptr, &error);
    if (!stream) {
        qWarning("Pripomin: the melody cannot be played: %s", pa_strerror(error));
        return;
    }
    const char* samples = sound.samples.constData();
    for (qsizetype at = 0; at < sound.samples.size() && !stop; at += kPiece) {
        if (pa_simple_write(stream, samples + at, size_t(std::min(kPiece, sound.samples.size() - at)),
                            &error) < 0) {
            qWarning("Pripomin: the melody broke off: %s", pa_strerror(error));
            break;
        }
    }
    // The end still in the server's buffer plays out, unless a stop comes meanwhile.
    while (!stop) {
        const pa_usec_t left = pa_simple_get_latency(stream, &error);
        if (left == pa_usec_t(-1) || left == 0)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(std::min<pa_usec_t>(left, 50000)));
    }
    if (stop)
        pa_simple_flush(stream, &error);
    pa_simple_free(stream);
}
} // namespace

PulseSound::~PulseSound() {
    for (Playing& p : m_playing)
        *p.stop = true;
    for (Playing& p : m_playing)
        p.thread.join();
}

void PulseSound::reapEnded() {
    for (auto it = m_playing.begin(); it != m_playing.end();) {
        if (*it->done) {
            it->thread.join();
            it = m_playing.erase(it);
        } else {
            ++it;
        }
    }
}

void PulseSound::play(const PcmSound& sound) {
    reapEnded();
    for (Playing& p : m_playing)
        *p.stop = true;
    Playing p{{}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    p.thread = std::thread([sound, stop = p.stop, done = p.done] {
        playToServer(sound, *stop);
        *done = true;
    });
    m_playing.push_back(std::move(p));
}
