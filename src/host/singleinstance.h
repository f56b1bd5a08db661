// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

// One running program per user. The first start becomes the primary; a later start tells the
// primary to show its window and ends without touching any file.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QObject* parent = nullptr);
    // serverPath: the socket's full path; tests give their own, the program uses the per-user one.
    SingleInstance(const QString& serverPath, QObject* parent);
    ~SingleInstance() override;
    // True when this process is the primary (it then listens for later starts).
    bool becomePrimary();
    // Called in the primary whenever a later start asks to be shown.
    std::function<void()> onShowRequested;

    // $XDG_RUNTIME_DIR/pripomin-<uid>; without a runtime folder, the same name inside a folder of
    // the user's own (mode 0700): /tmp/pripomin-<uid>, or the cache folder when another user has
    // taken that name.
    static QString defaultServerPath();
    // True when path is a folder (not a link) of this user that others cannot enter; it is made
    // first when missing.
    static bool ownFolder(const QString& path);
    // True when the process at the other end of a connected local socket runs as this user.
    static bool peerIsUs(qintptr socket);

  private:
    bool askPrimaryToShow();
    bool listen();
    void acceptConnections();
    void readFrom(int fd, QSocketNotifier* notifier, const std::shared_ptr<QByteArray>& pending);

    QString m_path;
    // A plain Unix socket: the few lines it carries do not need a network library in the process.
    int m_listener = -1;
    QSocketNotifier* m_accepting = nullptr;
};
