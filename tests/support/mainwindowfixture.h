#pragma once

#include "app/mainwindow.h"
#include "support/fakes.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <memory>

// A main window on fake host services with temporary settings and data folders.
struct MainWindowFixture {
    FakeHost host;
    std::unique_ptr<MainWindow> window;
    std::vector<std::pair<int, QString>> alerts; // openings the watcher asked for

    MainWindow& load() {
        window = std::make_unique<MainWindow>(host.services());
        window->openAlert = [this](int k, const QString& note) { alerts.emplace_back(k, note); };
        window->Form_Load();
        return *window;
    }
    void writeSettings(const QByteArray& text) { writeFile(host.configDir() + "/PM002.INI", text); }
    void writeNote(int k, const QByteArray& text) {
        writeFile(host.dataDir() + QStringLiteral("/Dat%1.RTF").arg(k), text);
    }
    QByteArray settings() const { return readFile(host.configDir() + "/PM002.INI"); }
    QByteArray note(int k) const { return readFile(host.dataDir() + QStringLiteral("/Dat%1.RTF").arg(k)); }
};
