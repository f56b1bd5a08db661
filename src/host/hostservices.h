// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Clock;
class MessageBoxes;
class Sound;
class Shell;
class Shutdown;
class InputGrab;
class SessionLocker;
class TrayIconFactory;

// The platform services a window needs, handed in by whoever creates it: the real ones in the
// program, doubles in the tests.
struct HostServices {
    Clock* clock = nullptr;
    MessageBoxes* boxes = nullptr;
    Sound* sound = nullptr;
    Shell* shell = nullptr;
    Shutdown* shutdown = nullptr;
    InputGrab* grab = nullptr;
    SessionLocker* sessionLocker = nullptr; // null: lock with our own window (X11)
    TrayIconFactory* tray = nullptr;
    // The program's folder: pictures, sound and help are read from here.
    QString programFolder;
    // Where the settings file and the note files are kept, and the desktop's autostart folder.
    QString configFolder;
    QString dataFolder;
    QString autostartFolder;
};
