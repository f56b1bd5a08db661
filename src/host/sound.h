// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QProcess;

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once; when it cannot be played, the system beep sounds.
    virtual void playAsync(const QString& path) = 0;
    virtual void beep() = 0;
    // Makes ready what playing needs, so a melody soon to come starts at once.
    virtual void prepare() {}
};

// Plays a WAV file through the desktop's sound server: the program reads the file and hands its
// samples to the player "pripomin-melody" of the given folder, a process of its own for each melody,
// which ends when the melody has played or the next one starts. prepare() starts the next melody's
// player ahead, so when the melody is due only its samples are handed over. A file that is missing or
// is no WAV the player takes gives the beep instead, and so does a player that cannot be started; the
// beep itself can be replaced (tests count it).
class DesktopSound final : public Sound {
  public:
    explicit DesktopSound(const QString& playerFolder, std::function<void()> beeper = {});
    ~DesktopSound() override;
    void playAsync(const QString& path) override;
    void beep() override;
    void prepare() override;

  private:
    // A player waiting for its melody; nothing when there is no player to start.
    QProcess* startPlayer();

    QString m_player;
    std::function<void()> m_beeper;
    QPointer<QProcess> m_ready;
    QPointer<QProcess> m_playing;
};
