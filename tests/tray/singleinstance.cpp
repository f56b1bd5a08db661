// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/singleinstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
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

    // Without a runtime folder: a folder of the user's own in the temporary one, else the cache.
    void withoutRuntimeFolder_data() {
        QTest::addColumn<QString>("placed"); // what lies at /tmp/pripomin-<uid> before the start
        QTest::addColumn<bool>("usable");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("our folder, open to others") << "open folder" << true;
        QTest::newRow("a link to our folder") << "link" << false;
        QTest::newRow("a socket") << "socket" << false;
        QTest::newRow("another user's folder") << "foreign folder" << false;
    }
    void withoutRuntimeFolder() {
        QFETCH(QString, placed);
        QFETCH(bool, usable);
        if (placed == "foreign folder" && ::getuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QDir(dir.filePath("tmp")).removeRecursively();
        QDir(dir.filePath("cache")).removeRecursively();
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", dir.filePath("tmp").toUtf8());
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
        QDir().mkpath(dir.filePath("tmp"));
        const QString uid = QString::number(::getuid());
        const QString name = dir.filePath("tmp/pripomin-" + uid);
        const QByteArray file = QFile::encodeName(name);
        if (placed == "open folder" || placed == "foreign folder") {
            QVERIFY(QDir().mkpath(name));
            QFile::setPermissions(name, QFileDevice::Permissions(0x7777));
            if (placed == "foreign folder")
                QCOMPARE(::chown(file.constData(), 65534, 65534), 0);
        } else if (placed == "link") {
            QVERIFY(QDir().mkpath(dir.filePath("elsewhere")));
            QVERIFY(QFile::link(dir.filePath("elsewhere"), name));
        } else if (placed == "socket") {
            QVERIFY(::mknod(file.constData(), S_IFSOCK | 0777, 0) == 0);
        }

        const QString path = SingleInstance::defaultServerPath();
        const QString folder = usable ? name : dir.filePath("cache/pripomin");
        QCOMPARE(path, folder + "/pripomin-" + uid);
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
        QCOMPARE(info.st_uid, ::getuid());
        SingleInstance primary(path, nullptr);
        QVERIFY(primary.becomePrimary());
        QVERIFY(!SingleInstance(path, nullptr).becomePrimary());

        qputenv("XDG_RUNTIME_DIR", runtime);
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(TestSingleInstance)
#include "singleinstance.moc"
