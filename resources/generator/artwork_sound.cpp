// SPDX-License-Identifier: GPL-3.0-or-later
// "Flauta.wav": a short flute-like tune that the alert windows play. A flute is mostly its
// fundamental with weak overtones, a slow vibrato and a little breath in the tone.
#include "generator/artwork.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {
constexpr int kRate = 22050;

struct Note {
    double midi;    // pitch; 0 = rest
    double seconds; // length
};

double frequency(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// A one-pole low-pass keeps the breath soft rather than hissing.
class Breath {
  public:
    double next() {
        const double white = m_random.generateDouble() * 2.0 - 1.0;
        m_state += 0.12 * (white - m_state);
        return m_state;
    }

  private:
    QRandomGenerator m_random{7}; // the same file on every build
    double m_state = 0.0;
};

std::vector<double> render(const std::vector<Note>& tune) {
    std::vector<double> out;
    Breath breath;
    double phase = 0.0;
    for (const Note& note : tune) {
        const int samples = int(note.seconds * kRate);
        const double attack = 0.045, release = 0.09;
        for (int i = 0; i < samples; ++i) {
            const double t = double(i) / kRate;
            if (note.midi <= 0) {
                out.push_back(0.0);
                continue;
            }
            // The vibrato grows in after the attack, as a player's does.
            const double depth = 0.006 * std::min(1.0, t / 0.25);
            const double f = frequency(note.midi) * (1.0 + depth * std::sin(2 * std::numbers::pi * 5.2 * t));
            phase += 2 * std::numbers::pi * f / kRate;
            double envelope = std::min(1.0, t / attack);
            const double left = note.seconds - t;
            if (left < release)
                envelope *= std::max(0.0, left / release);
            const double tone = std::sin(phase) + 0.22 * std::sin(2 * phase) + 0.07 * std::sin(3 * phase);
            // More breath at the start of each note, a whisper of it throughout.
            const double chiff = 0.10 * std::exp(-t / 0.05) + 0.025;
            out.push_back(envelope * (tone + chiff * breath.next()));
        }
    }
    return out;
}

bool writeWav(const QString& path, const std::vector<double>& signal) {
    const double peak =
        std::max(1e-9, *std::max_element(signal.begin(), signal.end(),
                                         [](double a, double b) { return std::fabs(a) < std::fabs(b); }));
    QByteArray pcm;
    pcm.reserve(int(signal.size() * 2));
    for (double v : signal) {
        const auto sample = qint16(std::lround(v / std::fabs(peak) * 0.7 * 32767));
        char bytes[2];
        qToLittleEndian(sample, bytes);
        pcm.append(bytes, 2);
    }
    QByteArray header;
    const auto u32 = [&header](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        header.append(b, 4);
    };
    const auto u16 = [&header](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        header.append(b, 2);
    };
    header.append("RIFF");
    u32(36 + quint32(pcm.size()));
    header.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    header.append("data");
    u32(quint32(pcm.size()));

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(header) == header.size() && file.write(pcm) == pcm.size();
}

bool writeFlute(const QString& folder) {
    // A rising call and its gentle answer, in G major.
    const std::vector<Note> tune = {{79, 0.22}, {83, 0.22}, {86, 0.44}, {0, 0.06},  {84, 0.22}, {83, 0.22},
                                    {81, 0.44}, {0, 0.06},  {79, 0.22}, {81, 0.22}, {83, 0.3},  {79, 0.8}};
    return writeWav(folder + QStringLiteral("/Flauta.wav"), render(tune));
}

const ArtworkRegistration registration{QStringLiteral("Flauta.wav"), writeFlute};
} // namespace
