// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sound.h"

#include "host/soundbackend.h"

#include <QApplication>
#include <QFileInfo>
#include <QPluginLoader>

#include <utility>

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
    if (!QFileInfo(path).isReadable()) {
        beep();
        return;
    }
    if (SoundBackend* sound = backend())
        sound->play(path, [this] { beep(); });
    else
        beep();
}

void QtSound::beep() {
    if (m_beeper)
        m_beeper();
    else
        QApplication::beep();
}
