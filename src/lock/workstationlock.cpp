#include "lock/workstationlock.h"

#include "host/inputgrab.h"
#include "host/messageboxes.h"
#include "lock/form2.h"
#include "tray/frmsystray.h"

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
}

WorkstationLock::~WorkstationLock() {
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
    if (m_form) {
        m_form->raise();
        m_form->activateWindow();
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const double twipsPerPixel = 1440.0 / (screen ? screen->logicalDotsPerInchX() : 96.0);
    heslozámku = m_host.boxes->inputBox(
        QStringLiteral("Napíšte HESLO.\r\nPomocou vloženého HESLA bude možné Váš počítač odomknúť."),
        QStringLiteral("Pripomin - zámok"), QStringLiteral("brána"), inputBoxPosition(area, twipsPerPixel));
    zablokujpanel();
    povoľklávesy(false);
    openForm2();
}

void WorkstationLock::openForm2() {
    m_form = new Form2(m_host.programFolder);
    m_form->onCommand1 = [this] { Command1_Click(); };
    m_form->onBlocked = [this](bool blocked) { blockedByModal(blocked); };
    if (onLockChanged)
        onLockChanged(true);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        m_form->showFullScreen(); // a client cannot place itself there
    else
        m_form->show();
    m_form->raise();
    m_form->activateWindow();
    m_form->Text1->setFocus();
    // Where the window system refuses a grab, the covering window and the password still work.
    if (m_host.grab)
        m_host.grab->grab(m_form, m_form->Text1);
}

void WorkstationLock::blockedByModal(bool blocked) {
    // A message box of the program (an alert falling due) blocks the lock window's input until it
    // is answered. Holding the grab then would leave neither window usable, so the grab goes to
    // the box until it closes, and comes back with the focus in the password box.
    if (!m_form || !m_host.grab)
        return;
    if (blocked) {
        m_host.grab->release();
        if (QWindow* modal = QGuiApplication::modalWindow()) {
            modal->raise();
            modal->requestActivate();
        }
    } else {
        m_form->raise();
        m_form->activateWindow();
        m_form->Text1->setFocus();
        m_host.grab->grab(m_form, m_form->Text1);
    }
}

void WorkstationLock::Command1_Click() {
    if (!m_form || heslozámku != m_form->Text1->text())
        return;
    odblokujpanel();
    povoľklávesy(true);
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
