// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fakes.h"

#include <QDir>

int ScriptedBoxes::msgBox(const QString& text, int style, const QString& title) {
    Shown box{text, style, title};
    shown.push_back(box);
    if (whileOpen)
        whileOpen(box);
    if (answers.empty())
        return MessageBoxes::Ok;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedBoxes::inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                                std::optional<QPoint> pos) {
    inputs.push_back({prompt, title, defaultText, pos});
    if (whileOpen)
        whileOpen({prompt, 0, title});
    if (inputAnswers.empty())
        return defaultText;
    QString answer;
    if (inputAnswers.front().has_value())
        answer = *inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

FakeHost::FakeHost() = default;

QString FakeHost::configDir() const {
    return home.path() + "/config/pripomin";
}
QString FakeHost::dataDir() const {
    return home.path() + "/data/pripomin";
}

HostServices FakeHost::services() {
    HostServices s;
    s.clock = &clock;
    s.boxes = &boxes;
    s.sound = &sound;
    s.shell = &shell;
    s.shutdown = &shutdown;
    s.grab = &grab;
    s.sessionLocker = &sessionLocker;
    s.programFolder = QStringLiteral(PRIPOMIN_OUTPUT_DIR);
    s.configFolder = configDir();
    s.dataFolder = dataDir();
    s.autostartFolder = home.path() + "/config/autostart";
    return s;
}
