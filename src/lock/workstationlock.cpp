// SPDX-License-Identifier: GPL-3.0-or-later
#include "lock/workstationlock.h"

#include "host/inputgrab.h"
#include "host/messageboxes.h"
#include "host/sessionlocker.h"
#include "host/twips.h"
#include "lock/form2.h"
#include "tray/frmsystray.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWindow>

WorkstationLock::WorkstationLock(HostServices host, LockPlatform* platform) : m_host(std::move(host)) {
    if (!platform) {
        m_ownPlatform = std::make_unique<NoTaskbarPlatform>();
        platform = m_ownPlatform.get();
    }
    m_platform = platform;
    m_retake.setInterval(kRetakeInterval);
    QObject::connect(&m_retake, &QTimer::timeout, [this] { holdInput(); });
    if (m_host.grab) {
        m_host.grab->onLost = [this] { holdInput(); };
        m_host.grab->onCovered = [this] {
            if (m_form && !m_blocked)
                m_form->raise();
        };
    }
}

WorkstationLock::~WorkstationLock() {
    if (m_host.grab) {
        m_host.grab->onLost = nullptr;
        m_host.grab->onCovered = nullptr;
    }
    if (m_form) {
        if (m_host.grab)
            m_host.grab->release();
        m_form->allowClose();
        delete m_form;
    }
}

QPoint WorkstationLock::inputBoxPosition(const QRect& screen, double twipsPerPixel) {
    const int widthTwips = qRound(screen.width() * twipsPerPixel);
    const int heightTwips = qRound(screen.height() * twipsPerPixel);
    const int left = (widthTwips - FrmSysTray::kWidthTwips) / 2;
    const int top = (heightTwips - FrmSysTray::kHeightTwips) / 2;
    return screen.topLeft() + QPoint(qRound(left / twipsPerPixel), qRound(top / twipsPerPixel));
}

void WorkstationLock::mZamok_Click() {
    // A lock that is already on keeps its password; the menu is normally out of reach then.
    if (isLocking()) {
        bringForward();
        return;
    }
    // There a program cannot keep the keyboard: a window of ours would only look like a lock.
    if (m_host.sessionLocker && m_host.sessionLocker->isWaylandSession()) {
        m_host.sessionLocker->lockSession();
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const double twipsPerPixel = Twips::perPixel(screen).x;
    // Locking starts with the question: a reminder falling due meanwhile waits for the unlock too.
    m_asking = true;
    if (onLockChanged)
        onLockChanged(true);
    heslozámku = m_host.boxes->inputBox(
        QStringLiteral("Napíšte HESLO.\r\nPomocou vloženého HESLA bude možné Váš počítač odomknúť."),
        QStringLiteral("Pripomin - zámok"), QStringLiteral("brána"), inputBoxPosition(area, twipsPerPixel));
    m_asking = false;
    zablokujpanel();
    povoľklávesy(false);
    openForm2();
}

void WorkstationLock::openForm2() {
    m_form = new Form2(m_host.programFolder);
    m_form->onCommand1 = [this] { Command1_Click(); };
    m_form->onBlocked = [this](bool blocked) { blockedByModal(blocked); };
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
    m_form->Text1->setFocus();
    m_blocked = false;
    holdInput();
}

void WorkstationLock::holdInput() {
    // Another client may hold the keyboard when the lock opens (its menu is open, it handles a key
    // binding); the grab is tried again until that client lets go, however long that takes.
    if (!m_form || m_blocked || !m_host.grab)
        return;
    if (m_host.grab->grab(m_form, m_form->Text1))
        m_retake.stop();
    else if (!m_retake.isActive())
        m_retake.start();
}

void WorkstationLock::bringForward() {
    if (m_asking) {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->raise();
            box->activateWindow();
        }
        return;
    }
    if (!m_form)
        return;
    if (QWindow* modal = QGuiApplication::modalWindow()) {
        modal->raise();
        modal->requestActivate();
        return;
    }
    m_form->raise();
    m_form->activateWindow();
    m_form->Text1->setFocus();
}

void WorkstationLock::blockedByModal(bool blocked) {
    // A message box of the program (an alert falling due) blocks the lock window's input until it
    // is answered. Holding the grab then would leave neither window usable, so the grab goes to
    // the box until it closes, and comes back with the focus in the password box.
    if (!m_form || !m_host.grab)
        return;
    m_blocked = blocked;
    if (blocked) {
        m_retake.stop();
        m_host.grab->release();
        if (QWindow* modal = QGuiApplication::modalWindow()) {
            modal->raise();
            modal->requestActivate();
        }
    } else {
        m_form->raise();
        m_form->activateWindow();
        m_form->Text1->setFocus();
        holdInput();
    }
}

void WorkstationLock::Command1_Click() {
    if (!m_form || heslozámku != m_form->Text1->text())
        return;
    odblokujpanel();
    povoľklávesy(true);
    m_retake.stop();
    if (m_host.grab)
        m_host.grab->release();
    m_form->Text1->clear();
    m_form->allowClose();
    m_form->close();
    // The button that called us is still on the stack.
    m_form->deleteLater();
    m_form.clear();
    if (onLockChanged)
        onLockChanged(false);
}

void WorkstationLock::povoľklávesy(bool enable) {
    m_platform->setScreenSaverRunning(!enable);
}

void WorkstationLock::zablokujpanel() {
    panelúloh = m_platform->findWindow(QLatin1String(kTaskbarClass), QString(""));
    if (panelúloh && m_platform->isWindowEnabled(panelúloh))
        stavpanela = static_cast<qint16>(m_platform->enableWindow(panelúloh, false));
}

void WorkstationLock::odblokujpanel() {
    // With no taskbar found there is no window to enable.
    if (stavpanela == 0 && panelúloh)
        stavpanela = static_cast<qint16>(m_platform->enableWindow(panelúloh, true));
}
