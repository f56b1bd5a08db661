// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/hostservices.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <deque>
#include <functional>

class AlertWindow;

// The twelve alert windows' program-wide instance references and alertText, the note on its way
// from the watcher to the window being opened.
class AlertWindows : public QObject {
    Q_OBJECT
  public:
    explicit AlertWindows(const HostServices& host, QObject* parent = nullptr);
    ~AlertWindows() override;

    // Opens the alert of slot 1..12 with the note: alertText becomes the note, then the slot's
    // window is created and loaded if it has none, which returns only after the user confirmed
    // the message box (other slots may open inside that wait), or else the open window is only
    // brought forward.
    void open(int slot, const QString& note);
    // The same, run from the event loop after the caller returns. The watcher's tick uses this:
    // Qt never re-enters a timer's handler, so a tick blocked in the message box would stop it.
    void openQueued(int slot, const QString& note);

    // While the screen is locked, alerts wait: a note must not show over the lock, and a box must not
    // take the keyboard from the password. Releasing opens the held ones in the order they fell due.
    // (The watcher itself holds back while locked; this catches an opening already on its way.)
    void setHeld(bool held);
    // A reminder falls due soon: the fonts and the melody's player, made on first use, are made
    // now, so the first alert's box still comes within its second.
    void prepare();
    bool isHeld() const { return m_held; }

    // The window of slot 1..12, or nullptr while it has none.
    AlertWindow* instance(int slot) const;
    const QString& alertText() const { return m_alertText; }

    const HostServices& host() const { return m_host; }

    // Told when the user has seen slot 1..12's alert: its confirmation box was answered, or its
    // window, already shown, was brought forward for the slot again.
    std::function<void(int slot)> onConfirmed;

  private:
    friend class AlertWindow;
    // The closing steps that reach beyond the window: alertText is emptied, the reference dropped.
    void clearAlertText() { m_alertText.clear(); }
    void confirmed(int slot) {
        if (onConfirmed)
            onConfirmed(slot);
    }
    void forget(AlertWindow* window);
    void openWaiting();

    HostServices m_host;
    QString m_alertText;
    std::array<QPointer<AlertWindow>, 12> m_instances;
    bool m_held = false;
    std::deque<std::pair<int, QString>> m_waiting;
};
