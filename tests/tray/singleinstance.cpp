#include "host/singleinstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir dir{QDir::tempPath() + "/pri-XXXXXX"};
    QString path() const { return dir.filePath("guard"); }

  private Q_SLOTS:
    void laterStart_asksThePrimaryToShow_andIsNotPrimary() {
        SingleInstance primary(path(), nullptr);
        int shows = 0;
        primary.onShowRequested = [&] { ++shows; };
        QVERIFY(primary.becomePrimary());

        SingleInstance second(path(), nullptr);
        second.onShowRequested = [] { QFAIL("the later start must not listen"); };
        QVERIFY(!second.becomePrimary());
        QTRY_COMPARE(shows, 1);

        SingleInstance third(path(), nullptr);
        QVERIFY(!third.becomePrimary());
        QTRY_COMPARE(shows, 2);
    }

    void socketLeftByACrash_isTakenOver() {
        // A bound socket file nobody listens on, as a killed program leaves it.
        const QByteArray file = QFile::encodeName(path());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, file.constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
        QVERIFY(QFile::exists(path()));

        SingleInstance primary(path(), nullptr);
        int shows = 0;
        primary.onShowRequested = [&] { ++shows; };
        QVERIFY(primary.becomePrimary());
        SingleInstance second(path(), nullptr);
        QVERIFY(!second.becomePrimary());
        QTRY_COMPARE(shows, 1);
    }

    void afterThePrimaryEnds_theNextStartIsPrimary() {
        {
            SingleInstance primary(path(), nullptr);
            QVERIFY(primary.becomePrimary());
        }
        SingleInstance next(path(), nullptr);
        QVERIFY(next.becomePrimary());
    }

    void defaultPath_isPerUserInTheRuntimeFolder() {
        const QString path = SingleInstance::defaultServerPath();
        QVERIFY(path.endsWith("/pripomin-" + QString::number(::getuid())));
        QVERIFY(path.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR")));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "singleinstance.moc"
