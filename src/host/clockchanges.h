// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// Tells when the wall clock is set or jumps, when the time zone changes (timedated, or
// /etc/localtime replaced) and when the machine wakes from suspend: the moments at which a timer
// armed for a local-time second may be off.
class ClockChanges : public QObject {
    Q_OBJECT
  public:
    explicit ClockChanges(QObject* parent = nullptr);
    ~ClockChanges() override;

  Q_SIGNALS:
    void changed();

  private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);
    void onTimedatePropertiesChanged();

  private:
    void armClockWatch();
    void watchZoneFile();
    static QString zoneStamp();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QString m_zoneStamp;
};
