// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/wavefile.h"

#include <QtPlugin>
#include <memory>

// What plays the melody, loaded from a plug-in beside the executable when the first melody is
// asked for: the sound server's client library is large, and a program that waits in the background
// for weeks need not carry it until then.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Starts playing and returns at once; a melody still playing stops. Where there is no sound
    // server to play to, nothing sounds (and a warning is written).
    virtual void play(const PcmSound& sound) = 0;
};

// The plug-in's one instance makes the players.
class SoundBackendFactory {
  public:
    virtual ~SoundBackendFactory() = default;
    virtual std::unique_ptr<SoundBackend> create() = 0;
};

#define PRIPOMIN_SOUND_BACKEND_IID "org.pripomin.SoundBackendFactory/2"
Q_DECLARE_INTERFACE(SoundBackendFactory, PRIPOMIN_SOUND_BACKEND_IID)
