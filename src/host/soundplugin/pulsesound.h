// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/soundbackend.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// The melody played to the desktop's sound server (PulseAudio, or PipeWire in its place), each on
// a thread of its own that writes it as it plays; a new melody stops the one before at once.
class PulseSound final : public SoundBackend {
  public:
    PulseSound() = default;
    ~PulseSound() override;
    void play(const PcmSound& sound) override;

  private:
    struct Playing {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop;
        std::shared_ptr<std::atomic<bool>> done;
    };
    // Melodies that were stopped or ended are joined here, not waited for.
    void reapEnded();

    std::vector<Playing> m_playing;
};

class PulseSoundPlugin final : public QObject, public SoundBackendFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PRIPOMIN_SOUND_BACKEND_IID)
    Q_INTERFACES(SoundBackendFactory)
  public:
    std::unique_ptr<SoundBackend> create() override { return std::make_unique<PulseSound>(); }
};
