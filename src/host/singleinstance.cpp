// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
}

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(defaultServerPath(), parent) {}
SingleInstance::SingleInstance(const QString& serverPath, QObject* parent)
    : QObject(parent), m_path(serverPath) {}
SingleInstance::~SingleInstance() = default;

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
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(2000))
        return false;
    // Only a program of the same user is asked; a stranger's listener counts as nobody.
    if (!peerIsUs(socket.socketDescriptor()))
        return false;
    socket.write(kShowRequest);
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::becomePrimary() {
    if (m_server)
        return true;
    // Two starts at the same moment must not both find no primary and both listen; the lock
    // makes the look and the listening one step. A lock left by a crashed start is stale after
    // its process is gone.
    QLockFile guard(m_path + QStringLiteral(".lock"));
    const bool locked = guard.tryLock(5000);

    if (askPrimaryToShow())
        return false;
    // Nobody answers: a socket file still there was left by a program that crashed.
    QLocalServer::removeServer(m_path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        // Running without the guard is better than not running at all.
        qWarning("pripomin: cannot listen on %s: %s", qPrintable(m_path),
                 qPrintable(m_server->errorString()));
    } else {
        acceptConnections();
    }
    if (locked)
        guard.unlock();
    return true;
}

void SingleInstance::acceptConnections() {
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            // Whoever else reaches the socket (root, a path handed on) is not served.
            if (!peerIsUs(socket->socketDescriptor())) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            auto drain = [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine() == kShowRequest && onShowRequested)
                        onShowRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, drain);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            drain(); // a quick caller may have written before we listened for it
        }
    });
}
