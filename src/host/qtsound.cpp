// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sound.h"

#include "host/soundbackend.h"

#include <QApplication>
#include <QFile>
#include <QPluginLoader>

#include <algorithm>
#include <utility>

namespace {
// A melody is a few seconds; a file far larger is not one to hold in memory.
constexpr qint64 kMaxSoundFile = 64 << 20;
} // namespace

QtSound::QtSound(const QString& pluginFolder, std::function<void()> beeper)
    : m_beeper(std::move(beeper)),
      m_loader(std::make_unique<QPluginLoader>(pluginFolder + QStringLiteral("/pripomin-sound"))) {}

// The plug-in stays loaded until the program ends; unloading it would leave the sound libraries'
// threads running code that is gone.
QtSound::~QtSound() = default;

SoundBackend* QtSound::backend() {
    if (!m_backend) {
        if (auto* factory = qobject_cast<SoundBackendFactory*>(m_loader->instance()))
            m_backend = factory->create();
        else
            qWarning("Pripomin: no sound: %s", qPrintable(m_loader->errorString()));
    }
    return m_backend.get();
}

void QtSound::playAsync(const QString& path) {
    QFile file(path);
    // Only what is really a sound goes to the player: a damaged file, or another format under the
    // melody's name, beeps instead every time.
    const std::optional<PcmSound> sound =
        file.open(QIODevice::ReadOnly) ? WaveFile::read(file.read(std::min(file.size(), kMaxSoundFile)))
                                       : std::nullopt;
    if (!sound) {
        beep();
        return;
    }
    if (SoundBackend* player = backend())
        player->play(*sound);
    else
        beep();
}

void QtSound::beep() {
    if (m_beeper)
        m_beeper();
    else
        QApplication::beep();
}
