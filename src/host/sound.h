// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QPluginLoader;
class SoundBackend;

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once; when it cannot be played, the system beep sounds.
    virtual void playAsync(const QString& path) = 0;
    virtual void beep() = 0;
    // Makes ready what playing needs, so a melody soon to come starts at once.
    virtual void prepare() {}
};

// Plays a WAV file through the desktop's sound server, with the player in the plug-in
// "pripomin-sound" of the given folder, loaded with the first melody. A file that is missing or is no
// WAV the player takes gives the beep instead, and so does a plug-in that cannot be loaded; the beep
// itself can be replaced (tests count it).
class QtSound final : public Sound {
  public:
    explicit QtSound(const QString& pluginFolder, std::function<void()> beeper = {});
    ~QtSound() override;
    void playAsync(const QString& path) override;
    void beep() override;
    void prepare() override { backend(); }

  private:
    SoundBackend* backend();

    std::function<void()> m_beeper;
    std::unique_ptr<QPluginLoader> m_loader;
    std::unique_ptr<SoundBackend> m_backend;
};
