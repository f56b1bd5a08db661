// SPDX-License-Identifier: GPL-3.0-or-later
// Saving under hostile conditions: a process killed outright in the middle of its saves, and a
// save into a file system with no room left. Every file must stay readable whole, holding either
// what it held before the save or what the save meant to put there, and a save that failed must
// be told to the user.
#include "host/datetime.h"
#include "host/inifile.h"
#include "slots/notefiles.h"
#include "slots/settingsfile.h"
#include "slots/slotstore.h"
#include "support/mainwindowfixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

const QLocale kSlovak(QStringLiteral("sk_SK"));

// Generation g of the slots: every note and every settings value tells its generation, and the
// notes' sizes vary so that the writes take different times.
QString noteOf(int k, int g) {
    const int size = 2000 + (g * 7919 + k * 104729) % 40000;
    return QStringLiteral("{\\rtf1\\ansi gen %1 slot %2 ").arg(g).arg(k) +
           QString(size, QChar(u'a' + (g + k) % 26)) + QStringLiteral("}");
}
QDate dateOf(int g) {
    return QDate(2000, 1, 1).addDays(g);
}
QString timeOf(int k, int g) {
    return QStringLiteral("%1:%2:%3").arg(k).arg(g % 60).arg(g / 60 % 60);
}

SlotTable generation(int g) {
    SlotTable slots;
    for (int k = 1; k <= kSlotCount; ++k) {
        slots[k].note = noteOf(k, g);
        slots[k].date = DateTimeValue::fromDate(dateOf(g));
        slots[k].time = timeOf(k, g);
    }
    return slots;
}

QByteArray noteBytes(int k, int g) {
    return (noteOf(k, g) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray settingsBytes(int g) {
    QString text =
        IniFile::withValue({}, QStringLiteral("Pripomin"), QStringLiteral("Run"), QStringLiteral("1"));
    for (int k = 1; k <= kSlotCount; ++k) {
        text = IniFile::withValue(text, SettingsFile::section(k), QStringLiteral("Dátum"),
                                  DateText::dateText(dateOf(g), kSlovak));
        text = IniFile::withValue(text, SettingsFile::section(k), QStringLiteral("Čas"), timeOf(k, g));
    }
    return text.toUtf8();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The generation a note file holds, when it holds one whole; -1 otherwise.
int noteGeneration(int k, const QByteArray& bytes) {
    static const QRegularExpression tag(QStringLiteral("^\\{\\\\rtf1\\\\ansi gen (\\d+) slot"));
    const auto m = tag.match(QString::fromUtf8(bytes.left(40)));
    if (!m.hasMatch())
        return -1;
    const int g = m.captured(1).toInt();
    return bytes == noteBytes(k, g) ? g : -1;
}

int settingsGeneration(const QByteArray& bytes) {
    const auto date =
        IniFile::lookup(QString::fromUtf8(bytes), QStringLiteral("DAT1"), QStringLiteral("Dátum"));
    if (!date)
        return -1;
    const auto d = DateText::tryParse(*date, kSlovak);
    if (!d)
        return -1;
    const int g = int(QDate(2000, 1, 1).daysTo(d->date()));
    return bytes == settingsBytes(g) ? g : -1;
}

// The process that gets killed: saves generation after generation, as the program saves (by turns
// everything, as at closing, and what changed, as after the user's changes), and announces each
// generation on standard output before it starts writing it.
int saveLoop(int first, const QString& configFolder, const QString& dataFolder) {
    SlotStore store(configFolder, dataFolder);
    for (int g = first;; ++g) {
        std::printf("%d\n", g);
        std::fflush(stdout);
        store.slots = generation(g);
        if (g % 2)
            store.saveChanges(kSlovak);
        else
            store.save(kSlovak);
    }
}

// Limits the size of any file this process writes; writes past it fail (EFBIG) instead of
// raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class SaveCrashTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void killedWhileSavingLeavesEveryFileWhole() {
        FakeHost host; // private folders, handed to the saving process
        const QString ini = host.configDir() + QStringLiteral("/PM002.INI");
        const SlotTable first = generation(0);
        QVERIFY(NoteFiles::save(first, host.dataDir()).isEmpty());
        QVERIFY(SettingsFile::save(first, ini, kSlovak));
        QCOMPARE(readAll(ini), settingsBytes(0));

        // What each file held after the last kill: index 0 the settings, 1 to 12 the notes.
        std::array<int, kSlotCount + 1> held{};
        int next = 1;
        int torn = 0;
        auto* random = QRandomGenerator::global();
        for (int round = 0; round < 200; ++round) {
            QProcess saver;
            saver.start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-loop"), QString::number(next), host.configDir(), host.dataDir()});
            QVERIFY2(saver.waitForStarted(10000), qPrintable(saver.errorString()));
            // Into its saving, then a random moment later: most saves take a few milliseconds.
            const QDeadlineTimer deadline(10000);
            while (!saver.canReadLine() && !deadline.hasExpired())
                saver.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            QVERIFY2(saver.canReadLine(), "the saving process did not start saving");
            QThread::usleep(random->bounded(30000));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(10000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            const QList<QByteArray> announced = saver.readAllStandardOutput().trimmed().split('\n');
            const int last = announced.last().toInt();
            QVERIFY(last >= next);
            // Each file: as before this process, or as one of the last two saves (the one finished
            // and the one under way) left it.
            const auto check = [&](int index, int g, const char* file) {
                const bool allowed = g >= 0 && (g == held[index] || g == last || g == last - 1);
                if (!allowed)
                    QFAIL(qPrintable(
                        QStringLiteral("round %1: %2 holds generation %3 (before: %4, saves up to %5)")
                            .arg(round)
                            .arg(QString::fromUtf8(file))
                            .arg(g)
                            .arg(held[index])
                            .arg(last)));
                held[index] = g;
            };
            check(0, settingsGeneration(readAll(ini)), "PM002.INI");
            if (QTest::currentTestFailed())
                return;
            for (int k = 1; k <= kSlotCount; ++k) {
                check(k, noteGeneration(k, readAll(NoteFiles::path(host.dataDir(), k))),
                      qPrintable(NoteFiles::fileName(k)));
                if (QTest::currentTestFailed())
                    return;
            }
            if (QSet<int>(held.begin(), held.end()).size() > 1)
                ++torn;
            next = last + 1;
        }
        qInfo("%d of 200 kills fell between the files of one save", torn);
        // Otherwise the kills all came between saves and the test proved nothing.
        QVERIFY(torn >= 20);
    }

    void fullFileSystemKeepsEarlierFilesAndTellsTheUser_data() {
        QTest::addColumn<bool>("tmpfs");
        QTest::newRow("no space left") << true;
        QTest::newRow("file size limit") << false;
    }
    void fullFileSystemKeepsEarlierFilesAndTellsTheUser() {
        QFETCH(bool, tmpfs);
        MainWindowFixture f;
        const QString root = f.host.home.path();
        if (tmpfs) {
            // Room for the first notes but not for the larger second ones.
            if (::mount("tmpfs", root.toLocal8Bit().constData(), "tmpfs", 0, "size=256k,mode=700") != 0)
                QSKIP("a small tmpfs cannot be mounted here (needs root)");
        }
        const auto unmount = qScopeGuard([&] {
            if (tmpfs)
                ::umount2(root.toLocal8Bit().constData(), MNT_DETACH);
        });

        MainWindow& w = f.load();
        for (int k = 1; k <= kSlotCount; ++k) {
            w.slots()[k].note = QStringLiteral("{\\rtf1 malá poznámka %1}").arg(k);
            w.slots()[k].date = DateTimeValue::fromDate(QDate(2031, 1, k));
        }
        w.uložtexty();
        QVERIFY(f.host.boxes.shown.empty());
        std::array<QByteArray, kSlotCount + 1> before;
        for (int k = 1; k <= kSlotCount; ++k)
            before[k] = f.note(k);
        const QByteArray settingsBefore = f.settings();
        QVERIFY(settingsBefore.contains("Dátum=12. 1. 2031"));

        // Notes too large for what is left (or for the limit), except the even slots' notes,
        // which stay small: the odd ones fail, the even ones are saved.
        for (int k = 1; k <= kSlotCount; ++k) {
            w.slots()[k].note =
                k % 2 ? QString(60000, QLatin1Char('x')) : QStringLiteral("{\\rtf1 nová %1}").arg(k);
            w.slots()[k].date = DateTimeValue::fromDate(QDate(2032, 2, k));
        }
        {
            std::optional<FileSizeLimit> limit;
            if (!tmpfs)
                limit.emplace(4096);
            w.uložtexty();
        }

        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const auto& box = f.host.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Chyba v programe Pripomin"));
        QCOMPARE(box.style, int(MessageBoxes::Critical));
        QStringList named;
        for (const QString& line : box.text.split(QStringLiteral("\r\n")).mid(1)) {
            if (line.isEmpty())
                break;
            named << QFileInfo(line).fileName();
        }
        QStringList failed;
        for (int k = 1; k <= kSlotCount; ++k) {
            const QByteArray now = f.note(k);
            const QByteArray wanted = (w.slots()[k].note + QStringLiteral("\r\n")).toUtf8();
            QVERIFY2(now == before[k] || now == wanted, qPrintable(NoteFiles::fileName(k)));
            if (now != wanted)
                failed << NoteFiles::fileName(k);
        }
        QVERIFY(!failed.isEmpty());
        // The settings: as before or as meant, never cut short; named when not saved.
        const QByteArray settingsNow = f.settings();
        if (settingsNow == settingsBefore)
            failed.prepend(QStringLiteral("PM002.INI"));
        else
            QVERIFY(settingsNow.contains("Dátum=12. 2. 2032") && settingsNow.endsWith("\n"));
        QCOMPARE(named, failed);
        // Nothing half-written is left behind in the folders.
        QCOMPARE(QDir(f.host.dataDir()).entryList(QDir::Files).size(), qsizetype(kSlotCount));
        QCOMPARE(QDir(f.host.configDir()).entryList(QDir::Files), QStringList{QStringLiteral("PM002.INI")});
    }
};

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--save-loop") == 0) {
        QCoreApplication app(argc, argv);
        return saveLoop(QByteArray(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    }
    QLocale::setDefault(kSlovak); // the program's dates in the settings, as its users have them
    QApplication app(argc, argv);
    SaveCrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "savekill.moc"
