// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/soundbackend.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>
#include <utility>

class QSoundEffect;

// The melody through Qt Multimedia.
class MultimediaSound final : public SoundBackend {
  public:
    MultimediaSound();
    ~MultimediaSound() override;
    void play(const QString& path, std::function<void()> failed) override;

  private:
    std::unique_ptr<QSoundEffect> m_effect;
    std::function<void()> m_failedNow;
    std::pair<QString, QDateTime> m_failed; // the file that could not be decoded, as it was then
};

class MultimediaSoundPlugin final : public QObject, public SoundBackendFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PRIPOMIN_SOUND_BACKEND_IID)
    Q_INTERFACES(SoundBackendFactory)
  public:
    std::unique_ptr<SoundBackend> create() override { return std::make_unique<MultimediaSound>(); }
};
