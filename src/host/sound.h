// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class QSoundEffect;

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once; when it cannot be played, the system beep sounds.
    virtual void playAsync(const QString& path) = 0;
    virtual void beep() = 0;
};

// Plays through Qt Multimedia. A file that is missing, or that turns out not to be a sound Qt can
// decode, gives the beep instead; the beep itself can be replaced (tests count it).
class QtSound final : public Sound {
  public:
    explicit QtSound(std::function<void()> beeper = {});
    ~QtSound() override;
    void playAsync(const QString& path) override;
    void beep() override;

  private:
    std::function<void()> m_beeper;
    std::unique_ptr<QSoundEffect> m_effect;
    std::pair<QString, QDateTime> m_failed; // the file that could not be decoded, as it was then
};
