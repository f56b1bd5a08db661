#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QLocalServer;

// One running program per user. The first start becomes the primary; a later start tells the
// primary to show its window and ends without touching any file.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;
    // True when this process is the primary (it then listens for later starts).
    bool becomePrimary();
    // Called in the primary whenever a later start asks to be shown.
    std::function<void()> onShowRequested;

private:
    std::unique_ptr<QLocalServer> m_server;
};
