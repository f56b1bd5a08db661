// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/clock.h"
#include "host/inputgrab.h"
#include "host/messageboxes.h"
#include "host/sessionlocker.h"
#include "host/shell.h"
#include "host/shutdown.h"
#include "host/sound.h"
#include "host/hostservices.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <vector>

// A clock the test moves by hand.
class SettableClock final : public Clock {
  public:
    explicit SettableClock(QDateTime start = QDateTime(QDate(2002, 3, 12), QTime(14, 29, 55)))
        : current(std::move(start)) {}
    QDateTime now() const override { return current; }
    void advance(qint64 seconds) { current = current.addSecs(seconds); }
    QDateTime current;
};

// Message boxes answered by script; every box shown is recorded.
class ScriptedBoxes final : public MessageBoxes {
  public:
    struct Shown {
        QString text;
        int style;
        QString title;
    };
    int msgBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                     std::optional<QPoint> pos) override;

    // Answers given in order; when none is left, OK (or the default text for input boxes).
    std::deque<int> answers;
    std::deque<std::optional<QString>> inputAnswers; // nullopt = Cancel
    // Runs while a box is "open", before it returns: lets a test act as if events came meanwhile.
    std::function<void(const Shown&)> whileOpen;
    std::vector<Shown> shown;
    struct Input {
        QString prompt, title, defaultText;
        std::optional<QPoint> pos;
    };
    std::vector<Input> inputs;
};

class RecordingSound final : public Sound {
  public:
    void playAsync(const QString& path) override { played << path; }
    void beep() override { ++beeps; }
    QStringList played;
    int beeps = 0;
};

class RecordingShell final : public Shell {
  public:
    void open(const QString& path) override { opened << path; }
    QStringList opened;
};

class RecordingShutdown final : public Shutdown {
  public:
    void powerOff() override { ++calls; }
    int calls = 0;
};

class RecordingGrab final : public InputGrab {
  public:
    bool grab(QWidget* window, QWidget* keyTarget) override {
        grabbedWindow = window;
        grabbedKeys = keyTarget;
        ++grabs;
        return refuse ? false : true;
    }
    void release() override { ++releases; }
    QWidget* grabbedWindow = nullptr;
    QWidget* grabbedKeys = nullptr;
    int grabs = 0, releases = 0;
    bool refuse = false;
};

class RecordingSessionLocker final : public SessionLocker {
  public:
    bool isWaylandSession() const override { return wayland; }
    void lockSession() override { ++locks; }
    bool wayland = false;
    int locks = 0;
};

// All doubles together, with temporary XDG folders so nothing touches the real home.
struct FakeHost {
    FakeHost();
    SettableClock clock;
    ScriptedBoxes boxes;
    RecordingSound sound;
    RecordingShell shell;
    RecordingShutdown shutdown;
    RecordingGrab grab;
    RecordingSessionLocker sessionLocker;
    QTemporaryDir home;
    QString configDir() const; // the settings file's folder
    QString dataDir() const;   // the note files' folder
    HostServices services();
};
