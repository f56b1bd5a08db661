#include "host/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
}

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(defaultServerPath(), parent) {}
SingleInstance::SingleInstance(const QString& serverPath, QObject* parent)
    : QObject(parent), m_path(serverPath) {}
SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/pripomin-") + QString::number(::getuid());
}

bool SingleInstance::askPrimaryToShow() {
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(2000))
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
