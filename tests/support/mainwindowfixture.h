// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/mainwindow.h"
#include "support/fakes.h"
#include "support/files.h"

#include "editor/toolbarcontrol.h"
#include "host/richtextbox.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <memory>

// The main window's controls, found by their names as accessibility tools and users' scripts do.
template <class T> T* control(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromUtf8(name));
    Q_ASSERT(found);
    return found;
}
inline ToolBarControl* Lišta1(QWidget& w) {
    return control<ToolBarControl>(w, "Lišta1");
}
inline QTabWidget* SSTab1(QWidget& w) {
    return control<QTabWidget>(w, "SSTab1");
}
inline RichTextBox* RichTextBox1(QWidget& w) {
    return control<RichTextBox>(w, "RichTextBox1");
}
inline RichTextBox* RichTextBox13(QWidget& w) {
    return control<RichTextBox>(w, "RichTextBox13");
}
inline RichTextBox* zabudnuté(QWidget& w) {
    return control<RichTextBox>(w, "zabudnuté");
}
inline QCalendarWidget* MonthView1(QWidget& w) {
    return control<QCalendarWidget>(w, "MonthView1");
}
inline QCalendarWidget* MonthView2(QWidget& w) {
    return control<QCalendarWidget>(w, "MonthView2");
}
inline QTimer* Timer2(QWidget& w) {
    return control<QTimer>(w, "Timer2");
}
inline std::array<QDateTimeEdit*, 12> DTPicker(QWidget& w) {
    std::array<QDateTimeEdit*, 12> pickers{};
    for (int k = 1; k <= 12; ++k)
        pickers[k - 1] = control<QDateTimeEdit>(w, QStringLiteral("DTPicker%1").arg(k).toUtf8().constData());
    return pickers;
}
inline std::array<QLabel*, 12> Image(QWidget& w) {
    std::array<QLabel*, 12> images{};
    for (int k = 1; k <= 12; ++k)
        images[k - 1] = control<QLabel>(w, QStringLiteral("Image%1").arg(k).toUtf8().constData());
    return images;
}

// A main window on fake host services with temporary settings and data folders.
struct MainWindowFixture {
    FakeHost host;
    std::unique_ptr<MainWindow> window;
    std::vector<std::pair<int, QString>> alerts; // openings the watcher asked for

    // As the program loads: the controls are made as a first showing makes them, unless `hidden`.
    MainWindow& load(bool hidden = false) {
        window = std::make_unique<MainWindow>(host.services());
        window->openAlert = [this](int k, const QString& note) { alerts.emplace_back(k, note); };
        window->Form_Load();
        if (!hidden)
            window->buildControls();
        return *window;
    }
    void writeSettings(const QByteArray& text) { writeFile(host.configDir() + "/PM002.INI", text); }
    void writeNote(int k, const QByteArray& text) {
        writeFile(host.dataDir() + QStringLiteral("/Dat%1.RTF").arg(k), text);
    }
    QByteArray settings() const { return readFile(host.configDir() + "/PM002.INI"); }
    QByteArray note(int k) const { return readFile(host.dataDir() + QStringLiteral("/Dat%1.RTF").arg(k)); }
};
