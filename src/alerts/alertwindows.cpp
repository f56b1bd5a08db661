// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertwindows.h"

#include "alerts/alertdesign.h"
#include "alerts/alertwindow.h"
#include "host/sound.h"

#include <QApplication>
#include <QFontMetrics>

AlertWindows::AlertWindows(const HostServices& host, QObject* parent) : QObject(parent), m_host(host) {}

AlertWindows::~AlertWindows() {
    for (QPointer<AlertWindow>& window : m_instances)
        delete window.data();
}

void AlertWindows::open(int slot, const QString& note) {
    const AlertDesign* design = AlertDesigns::forSlot(slot);
    if (!design)
        return;
    m_alertText = note;
    QPointer<AlertWindow>& instance = m_instances[slot - 1];
    if (instance) {
        // A window still in its confirmation box is confirmed by that box.
        instance->bringForward();
        if (instance->isLoaded())
            confirmed(slot);
        return;
    }
    // The reference is set before the load, which waits in its message box: an opening of the
    // same slot meanwhile finds the window and does not create a second one.
    instance = new AlertWindow(*design, *this);
    instance->Form_Load();
}

void AlertWindows::openQueued(int slot, const QString& note) {
    // Openings wait in one line, so they come in the order they fell due, also when the screen is
    // locked between their queuing and their turn.
    m_waiting.emplace_back(slot, note);
    if (!m_held)
        QMetaObject::invokeMethod(this, &AlertWindows::openWaiting, Qt::QueuedConnection);
}

void AlertWindows::openWaiting() {
    // An opening waits in its message box; the next ones may open meanwhile, from inside that wait.
    while (!m_held && !m_waiting.empty()) {
        const auto [slot, note] = m_waiting.front();
        m_waiting.pop_front();
        open(slot, note);
    }
}

void AlertWindows::prepare() {
    (void)QFontMetrics(QApplication::font()).height();
    if (m_host.sound)
        m_host.sound->prepare();
}

void AlertWindows::setHeld(bool held) {
    m_held = held;
    if (!held && !m_waiting.empty())
        QMetaObject::invokeMethod(this, &AlertWindows::openWaiting, Qt::QueuedConnection);
}

AlertWindow* AlertWindows::instance(int slot) const {
    if (slot < 1 || slot > 12)
        return nullptr;
    return m_instances[slot - 1].data();
}

void AlertWindows::forget(AlertWindow* window) {
    for (QPointer<AlertWindow>& instance : m_instances)
        if (instance == window)
            instance.clear();
}
