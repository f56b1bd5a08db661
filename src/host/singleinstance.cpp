// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");

// The socket's address; false when the path does not fit.
bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    qstrncpy(address.sun_path, native.constData(), sizeof address.sun_path);
    return true;
}

// Waits up to `ms` for the socket to be ready for `events`.
bool ready(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int n;
    do
        n = ::poll(&p, 1, ms);
    while (n < 0 && errno == EINTR);
    return n == 1 && (p.revents & events);
}
} // namespace

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(defaultServerPath(), parent) {}
SingleInstance::SingleInstance(const QString& serverPath, QObject* parent)
    : QObject(parent), m_path(serverPath) {}

SingleInstance::~SingleInstance() {
    if (m_listener < 0)
        return;
    delete m_accepting;
    ::close(m_listener);
    ::unlink(QFile::encodeName(m_path).constData());
}

QString SingleInstance::defaultServerPath() {
    const QString name = QStringLiteral("/pripomin-") + QString::number(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + name;
    // Without a runtime folder: a folder of our own in the temporary one. Another user can make
    // that name first (and listen in it, so that every start of ours would quit); then one in
    // the user's cache folder is used, which nobody else can write to.
    const QString temporary = QDir::tempPath() + name;
    if (ownFolder(temporary))
        return temporary + name;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(cache);
    const QString fallback = cache + QStringLiteral("/pripomin");
    if (!ownFolder(fallback))
        qWarning("pripomin: neither %s nor %s is a folder of this user's own", qPrintable(temporary),
                 qPrintable(fallback));
    return fallback + name;
}

bool SingleInstance::ownFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // mkdir does not follow a link placed under the name, and fails when anything is there.
    ::mkdir(native.constData(), 0700);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    // Ours, but perhaps made by hand for others to see into.
    return (info.st_mode & 077) == 0 || ::chmod(native.constData(), 0700) == 0;
}

bool SingleInstance::peerIsUs(qintptr socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

bool SingleInstance::askPrimaryToShow() {
    sockaddr_un address;
    if (!addressOf(m_path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool asked = false;
    const int connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    int error = 0;
    socklen_t size = sizeof error;
    // A primary too busy to take the call at once is given two seconds.
    if (connected == 0 || (errno == EAGAIN && ready(fd, POLLOUT, 2000) &&
                           ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)) {
        // Only a program of the same user is asked; a stranger's listener counts as nobody.
        if (peerIsUs(fd)) {
            asked = ready(fd, POLLOUT, 2000) &&
                    ::send(fd, kShowRequest.constData(), size_t(kShowRequest.size()), MSG_NOSIGNAL) ==
                        kShowRequest.size();
        }
    }
    ::close(fd);
    return asked;
}

bool SingleInstance::listen() {
    sockaddr_un address;
    if (!addressOf(m_path, address))
        return false;
    // Nobody answers: a socket file still there was left by a program that crashed.
    ::unlink(address.sun_path);
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listener < 0)
        return false;
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(m_listener, 8) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return false;
    }
    return true;
}

bool SingleInstance::becomePrimary() {
    if (m_listener >= 0)
        return true;
    // Two starts at the same moment must not both find no primary and both listen; the lock
    // makes the look and the listening one step. A lock left by a crashed start is stale after
    // its process is gone.
    QLockFile guard(m_path + QStringLiteral(".lock"));
    const bool locked = guard.tryLock(5000);

    if (askPrimaryToShow())
        return false;
    if (listen()) {
        acceptConnections();
    } else {
        // Running without the guard is better than not running at all.
        qWarning("pripomin: cannot listen on %s: %s", qPrintable(m_path), strerror(errno));
    }
    if (locked)
        guard.unlock();
    return true;
}

void SingleInstance::acceptConnections() {
    m_accepting = new QSocketNotifier(qintptr(m_listener), QSocketNotifier::Read, this);
    connect(m_accepting, &QSocketNotifier::activated, this, [this] {
        int fd;
        while ((fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
            // Whoever else reaches the socket (root, a path handed on) is not served.
            if (!peerIsUs(fd)) {
                ::close(fd);
                continue;
            }
            auto* notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
            auto pending = std::make_shared<QByteArray>();
            connect(notifier, &QSocketNotifier::activated, this,
                    [this, fd, notifier, pending] { readFrom(fd, notifier, pending); });
            readFrom(fd, notifier, pending); // a quick caller may have written before we listened
        }
    });
}

void SingleInstance::readFrom(int fd, QSocketNotifier* notifier, const std::shared_ptr<QByteArray>& pending) {
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        pending->append(buffer, qsizetype(n));
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            const QByteArray line = pending->left(end + 1);
            pending->remove(0, end + 1);
            if (line == kShowRequest && onShowRequested)
                onShowRequested();
        }
        // A caller that never ends its line is not kept for long.
        if (pending->size() > 4096)
            break;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // The caller is done (or misbehaves): the connection ends here.
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(fd);
}
