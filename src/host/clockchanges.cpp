// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/clockchanges.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <sys/timerfd.h>
#include <unistd.h>

ClockChanges::ClockChanges(QObject* parent) : QObject(parent) {
    // A realtime timer far in the future with CANCEL_ON_SET: the kernel wakes us only when the
    // clock is set (by hand, by NTP stepping it, or after a resume that moved it).
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations = 0;
            const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
            if (n < 0 && errno == ECANCELED)
                Q_EMIT changed();
            armClockWatch();
        });
        armClockWatch();
    }
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(onPrepareForSleep(bool)));
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"), this,
        SLOT(onTimedatePropertiesChanged()));
    watchZoneFile();
}

namespace {
const QString kZoneFile = QStringLiteral("/etc/localtime");
}

QString ClockChanges::zoneStamp() {
    const QFileInfo zone(kZoneFile);
    return zone.symLinkTarget() + QLatin1Char('|') +
           QString::number(zone.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|') +
           QString::number(zone.size());
}

void ClockChanges::watchZoneFile() {
    // The zone file is replaced rather than written (a new link, or a rename over it), so its folder
    // is watched too; any other change there is told apart by the file's own stamp.
    m_zoneStamp = zoneStamp();
    auto* watcher = new QFileSystemWatcher(this);
    watcher->addPaths({kZoneFile, QFileInfo(kZoneFile).path()});
    const auto check = [this, watcher] {
        if (!watcher->files().contains(kZoneFile) && QFileInfo::exists(kZoneFile))
            watcher->addPath(kZoneFile);
        const QString stamp = zoneStamp();
        if (stamp == m_zoneStamp)
            return;
        m_zoneStamp = stamp;
        Q_EMIT changed();
    };
    connect(watcher, &QFileSystemWatcher::fileChanged, this, check);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, check);
}

void ClockChanges::onTimedatePropertiesChanged() {
    // A new zone moves the local time without setting the clock.
    Q_EMIT changed();
}

ClockChanges::~ClockChanges() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void ClockChanges::armClockWatch() {
    itimerspec spec = {};
    spec.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
}

void ClockChanges::onPrepareForSleep(bool sleeping) {
    // Monotonic timers stand still while the machine sleeps: after waking, check at once.
    if (!sleeping)
        Q_EMIT changed();
}
