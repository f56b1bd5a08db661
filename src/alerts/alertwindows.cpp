#include "alerts/alertwindows.h"

#include "alerts/alertdesign.h"
#include "alerts/alertwindow.h"
#include "host/sound.h"

#include <utility>

AlertWindows::AlertWindows(const HostServices& host, std::function<QString()> todayWeekdayName,
                           QObject* parent)
    : QObject(parent), m_host(host), m_todayWeekdayName(std::move(todayWeekdayName)) {}

AlertWindows::~AlertWindows() {
    for (QPointer<AlertWindow>& window : m_instances)
        delete window.data();
}

QString AlertWindows::todayWeekdayName() const {
    return m_todayWeekdayName ? m_todayWeekdayName() : QString();
}

void AlertWindows::open(int slot, const QString& note) {
    const AlertDesign* design = AlertDesigns::forSlot(slot);
    if (!design)
        return;
    m_alertText = note;
    QPointer<AlertWindow>& instance = m_instances[slot - 1];
    if (instance) {
        instance->bringForward();
        return;
    }
    // The reference is set before the load, which waits in its message box: an opening of the
    // same slot meanwhile finds the window and does not create a second one.
    instance = new AlertWindow(*design, *this);
    instance->Form_Load();
}

void AlertWindows::openQueued(int slot, const QString& note) {
    if (m_held) {
        // The sound still goes off at the due second, so someone near the locked computer hears it;
        // only the window with the note waits.
        if (m_host.sound)
            m_host.sound->playAsync(m_host.programFolder + QStringLiteral("/Flauta.wav"));
        m_waiting.emplace_back(slot, note);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, slot, note] { open(slot, note); }, Qt::QueuedConnection);
}

void AlertWindows::setHeld(bool held) {
    m_held = held;
    if (held)
        return;
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto& [slot, note] : waiting)
        openQueued(slot, note);
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
