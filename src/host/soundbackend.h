// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtPlugin>
#include <functional>
#include <memory>

// What plays the melody, loaded from a plug-in beside the executable when the first melody is
// asked for: the sound libraries (Qt Multimedia, GStreamer, the sound server's client) are large,
// and a program that waits in the background for weeks need not carry them until then.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Starts playing and returns at once. `failed` runs, now or later, when the file turns out to
    // be no sound that can be played.
    virtual void play(const QString& path, std::function<void()> failed) = 0;
};

// The plug-in's one instance makes the players.
class SoundBackendFactory {
  public:
    virtual ~SoundBackendFactory() = default;
    virtual std::unique_ptr<SoundBackend> create() = 0;
};

#define PRIPOMIN_SOUND_BACKEND_IID "org.pripomin.SoundBackendFactory/1"
Q_DECLARE_INTERFACE(SoundBackendFactory, PRIPOMIN_SOUND_BACKEND_IID)
