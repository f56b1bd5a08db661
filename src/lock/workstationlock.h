// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/hostservices.h"
#include "lock/form2.h"
#include "lock/lockplatform.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

// Locking the desktop behind a password typed at lock time. The password lives in this object
// only: it is never written to a file, a log or the settings.
class WorkstationLock {
  public:
    static constexpr auto kTaskbarClass = "Shell_traywnd";

    // Without a platform the Linux one is used (no taskbar, no flag).
    explicit WorkstationLock(HostServices host, LockPlatform* platform = nullptr);
    ~WorkstationLock();

    void mZamok_Click();
    void Command1_Click();
    void zablokujpanel();
    void odblokujpanel();
    void povoľklávesy(bool enable);

    bool isLocked() const { return !m_form.isNull(); }
    // From the menu's choice on, while the password is asked for too, until the right one.
    bool isLocking() const { return m_asking || isLocked(); }
    // What asks for the notes or the end while locking gets this instead: the password box, or the
    // lock window with the focus in its password box, in front.
    void bringForward();
    // A grab refused or lost is tried again this often until it holds.
    static constexpr int kRetakeInterval = 250;
    Form2* form() const { return m_form; }
    // The input box's top left corner in pixels: the tray form's size centred on the screen.
    static QPoint inputBoxPosition(const QRect& screen, double twipsPerPixel);

    // Told when locking starts, as the password is asked for (true), and when the right password
    // closed the lock window (false).
    std::function<void(bool locked)> onLockChanged;

    QString heslozámku;
    LockPlatform::Handle panelúloh = 0;
    qint16 stavpanela = 0;

  private:
    void openForm2();
    void blockedByModal(bool blocked);
    void holdInput();

    HostServices m_host;
    std::unique_ptr<LockPlatform> m_ownPlatform;
    LockPlatform* m_platform;
    QPointer<Form2> m_form;
    bool m_asking = false;
    bool m_blocked = false;
    QTimer m_retake;
};
