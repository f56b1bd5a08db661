#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the wall clock is set or jumps, and when the machine wakes from suspend: the moments
// at which a timer armed for a wall-clock second may be off.
class ClockChanges : public QObject {
    Q_OBJECT
  public:
    explicit ClockChanges(QObject* parent = nullptr);
    ~ClockChanges() override;

  Q_SIGNALS:
    void changed();

  private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);

  private:
    void armClockWatch();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
