// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/hostservices.h"
#include "host/tray.h"

#include <QIcon>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QAction;
class QTimer;

// The invisible tray form: owns the flashing notification-area icon and its pop-up menu. Loading
// happens in the constructor; the owner releases the form to unload it.
class FrmSysTray : public QWidget {
    Q_OBJECT
  public:
    // What the menu's commands need from the owner.
    struct Owner {
        std::function<void()> unload; // releases this form once control is back in the event loop
        std::function<void()> showMainWindow;
        std::function<void()> closeMainWindow;
        std::function<void()> mZamok; // the workstation lock
        // While the computer is being locked: brings the lock forward and answers true, and
        // "Menu" and "Ukonči program" then do nothing else.
        std::function<bool()> heldByLock;
    };

    static constexpr int kTooltipField = 64;
    static constexpr int kFlashInterval = 3000;
    static constexpr int kWidthTwips = 2010;
    static constexpr int kHeightTwips = 705;
    // The texts of the menu items, top to bottom, separators empty.
    static const QStringList& menuCaptions();

    FrmSysTray(HostServices host, Owner owner);
    ~FrmSysTray() override;

    // The 64-character tooltip field: the text, a NUL, blanks after it.
    QString Tooltip() const;
    void Tooltip(const QString& text);
    qint16 Interval() const;
    void Interval(qint16 milliseconds);
    // A picture: shown, flashing stops.
    void TrayIcon(const QIcon& picture);
    // "default" in any letter case: flashing on, Flash2 at once; any other text names a picture file.
    void TrayIcon(const QString& text);
    // Any other window: its own icon, flashing stops.
    void TrayIcon(const QWidget* window);

    void TmrFlash_Timer();
    // What the user did to the icon: only a request for the menu acts.
    void FrmSysTray_MouseMove(::TrayIcon::Event event);

    void mMaximize_Click();
    void mExit_Click();
    void mZamok_Click();
    void mAbout_Click();
    // For an owner window that wants its close box and minimize button to hide it.
    void MeQueryUnload(QWidget* F, qint16& Cancel, qint16 UnloadMode);
    void MeResize(QWidget* F);

    // Whether a notification area shows the icon.
    bool areaPresent() const;
    bool flashPhase() const { return m_phase; }
    bool flashing() const;
    QMenu* mPopupMenu() const { return m_menu; }
    QIcon flash1() const;
    QIcon flash2() const;

  Q_SIGNALS:
    // A notification area came, went or was replaced by another; the icon follows by itself.
    void areaChanged();

  private:
    // The icon goes and the tray form unloads, then `next` runs (the window shows, or the program ends).
    void leaveTrayFor(const std::function<void()>& next);
    void TrayNotify(int message);
    void enableFlash(bool on);
    QString shownTooltip() const;

    HostServices m_host;
    Owner m_owner;
    std::unique_ptr<::TrayIcon> m_icon;
    QLabel* m_flash1 = nullptr;
    QLabel* m_flash2 = nullptr;
    // Made once: a new icon at every flash would be converted and scaled anew every three seconds.
    QIcon m_flash1Icon;
    QIcon m_flash2Icon;
    QTimer* m_tmrFlash = nullptr;
    QMenu* m_menu = nullptr;
    QString m_tooltip;
    bool m_phase = false;
    bool m_flashEnabled = false;
};
