// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/inifile.h"
#include "host/module1.h"
#include "support/fakes.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTest>

class IniFileTest : public QObject {
    Q_OBJECT
    FakeHost host;
    QString path() const { return host.configDir() + "/PM002.INI"; }

  public:
    // A bare file name is placed in $XDG_CONFIG_HOME/pripomin: that placing is part of what is tested.
    IniFileTest() { qputenv("XDG_CONFIG_HOME", (host.home.path() + "/config").toUtf8()); }

  private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void namesCompareWithoutCaseSlovakLettersIncluded() {
        QVERIFY(Module1::zapíšini("DAT7", "Dátum", "12.3.2002", "PM002.INI"));
        QCOMPARE(Module1::čítajini("Dat7", "DÁTUM", "Error", "PM002.INI"), QStringLiteral("12.3.2002"));
        QCOMPARE(Module1::čítajini("dat7", "dátum", "Error", "PM002.INI"), QStringLiteral("12.3.2002"));
        QCOMPARE(Module1::čítajini("Dat8", "Dátum", "Error", "PM002.INI"), QStringLiteral("Error"));
        QCOMPARE(Module1::čítajini("Dat7", "Čas", "Error", "PM002.INI"), QStringLiteral("Error"));
    }

    void writesKeepEverythingElseInPlace() {
        writeFile(path(), "; comment\r\n[Pripomin]\r\nRun=0\r\nOther=x\r\n\r\n[DAT1]\r\nČas=1:2:3\r\n");
        QVERIFY(Module1::zapíšini("pripomin", "run", "1", "PM002.INI"));
        QVERIFY(Module1::zapíšini("Pripomin", "Aktivácia", "ok", "PM002.INI"));
        QVERIFY(Module1::zapíšini("DAT2", "Dátum", "0:00:00", "PM002.INI"));
        QCOMPARE(QString::fromUtf8(readFile(path())),
                 QStringLiteral("; comment\n[Pripomin]\nRun=1\nOther=x\nAktivácia=ok\n\n[DAT1]\nČas=1:2:3\n"
                                "[DAT2]\nDátum=0:00:00\n"));
        QCOMPARE(QFile::permissions(path()), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadUser | QFileDevice::WriteUser);
    }

    void valuesReadBackCutTo127Characters() {
        const QString longValue(200, QLatin1Char('x'));
        QVERIFY(Module1::zapíšini("Pripomin", "Long", longValue, "PM002.INI"));
        QCOMPARE(Module1::čítajini("Pripomin", "Long", "Error", "PM002.INI"), longValue.left(127));
    }

    void readsFilesWrittenElsewhere() {
        // Windows-1250 with CR LF, as a settings file carried over from Windows.
        QStringEncoder cp1250("windows-1250");
        QVERIFY(cp1250.isValid());
        writeFile(path(), cp1250.encode(QStringLiteral("[DAT1]\r\nDátum=12.3.2002\r\nČas=14:30:0\r\n")));
        QCOMPARE(Module1::čítajini("Dat1", "Čas", "Error", "PM002.INI"), QStringLiteral("14:30:0"));
        // UTF-8 with a byte-order mark.
        writeFile(path(), "\xEF\xBB\xBF[Pripomin]\nRun=1\n");
        QCOMPARE(Module1::čítajini("Pripomin", "Run", "Error", "PM002.INI"), QStringLiteral("1"));
    }

    void firstOfDuplicateSectionsAndKeysWins() {
        writeFile(path(), "[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
        QCOMPARE(Module1::čítajini("A", "k", "Error", "PM002.INI"), QStringLiteral("1"));
        QCOMPARE(Module1::čítajini("A", "j", "Error", "PM002.INI"), QStringLiteral("Error"));
        QVERIFY(Module1::zapíšini("A", "K", "5", "PM002.INI"));
        QCOMPARE(QString::fromUtf8(readFile(path())), QStringLiteral("[A]\nk=5\nk=2\n[a]\nk=3\nj=4\n"));
    }

    void garbageNeverEndsTheProgram() {
        QByteArray garbage;
        for (int i = 0; i < 70000; ++i)
            garbage.append(char((i * 7919) % 256));
        garbage.append(QByteArray(300000, 'y')); // a very long line
        writeFile(path(), garbage);
        QCOMPARE(Module1::čítajini("Pripomin", "Run", "Error", "PM002.INI"), QStringLiteral("Error"));
        QVERIFY(Module1::zapíšini("Pripomin", "Run", "1", "PM002.INI"));
        QCOMPARE(Module1::čítajini("Pripomin", "Run", "Error", "PM002.INI"), QStringLiteral("1"));
    }

    void unwritableFolderIsReported() {
        // A file where the folder should be: no rights can make that writable, not even root's.
        QDir(host.configDir()).removeRecursively();
        writeFile(host.configDir(), "not a folder");
        QVERIFY(!Module1::zapíšini("Pripomin", "Run", "1", "PM002.INI"));
        QCOMPARE(Module1::čítajini("Pripomin", "Run", "Error", "PM002.INI"), QStringLiteral("Error"));
        QFile::remove(host.configDir());
    }

    void registryAnswersOnlyTheStartupFolder() {
        const QString key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
        const QString autostart = "/home/user/.config/autostart";
        QCOMPARE(Module1::čítajhodnotu(Module1::RegistryRoot::CurrentUser, key, "Startup", autostart),
                 autostart);
        QCOMPARE(Module1::čítajhodnotu(Module1::RegistryRoot::CurrentUser, key, "Desktop", autostart),
                 QStringLiteral("Hodnota kľúča neexistuje!"));
        QCOMPARE(Module1::čítajhodnotu(Module1::RegistryRoot::LocalMachine, key, "Startup", autostart),
                 QStringLiteral("Hodnota kľúča neexistuje!"));
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "inifile.moc"
