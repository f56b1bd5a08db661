// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/notefiles.h"
#include "slots/settingsfile.h"
#include "slots/slotstore.h"
#include "support/fakes.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTest>

class PersistenceTest : public QObject {
    Q_OBJECT
    FakeHost host;
    QLocale sk{QStringLiteral("sk_SK")};
    QString ini() const { return host.configDir() + "/PM002.INI"; }

  private Q_SLOTS:
    void init() {
        QDir(host.configDir()).removeRecursively();
        QDir(host.dataDir()).removeRecursively();
    }

    void settingsRoundTrip() {
        SlotTable slots;
        slots[3].date = DateTimeValue::fromDate(QDate(2002, 3, 12));
        slots[3].time = "9:5:0";
        slots[12].date = DateTimeValue::fromDate(QDate(2030, 1, 31));
        slots[12].time = "23:59:59";
        QVERIFY(SettingsFile::save(slots, ini(), sk));
        const QString text = QString::fromUtf8(readFile(ini()));
        QVERIFY(text.startsWith("[Pripomin]\nRun=1\n[DAT1]\nDátum=0:00:00\nČas=\n[DAT2]"));
        QVERIFY(text.contains("[DAT3]\nDátum=12. 3. 2002\nČas=9:5:0\n") ||
                text.contains("[DAT3]\nDátum=12.3.2002\n"));

        SlotTable back;
        QVERIFY(SettingsFile::load(back, ini(), sk));
        QCOMPARE(back[3].date, slots[3].date);
        QCOMPARE(back[3].time, QStringLiteral("9:5:0"));
        QCOMPARE(back[12].date, slots[12].date);
        QVERIFY(back[1].date.isZero());
    }

    void onlyRunExactlyOneLoadsSlots_data() {
        QTest::addColumn<QByteArray>("run");
        QTest::newRow("empty") << QByteArray("Run=\n");
        QTest::newRow("one and more") << QByteArray("Run=1x\n");
        QTest::newRow("missing") << QByteArray("");
    }
    void onlyRunExactlyOneLoadsSlots() {
        QFETCH(QByteArray, run);
        writeFile(ini(), "[Pripomin]\n" + run + "[DAT1]\nDátum=12.3.2002\nČas=1:2:3\n");
        SlotTable slots;
        QVERIFY(!SettingsFile::load(slots, ini(), sk));
        QVERIFY(slots[1].date.isZero());
        QVERIFY(slots[1].time.isEmpty());
    }

    void unreadableValuesGiveNoDateAndMidnight() {
        writeFile(ini(),
                  "[Pripomin]\nRun=1\n[DAT1]\nDátum=garbage\nČas=also garbage\n[DAT2]\nDátum=12.3.2002\n");
        SlotTable slots;
        QVERIFY(SettingsFile::load(slots, ini(), sk));
        QVERIFY(slots[1].date.isZero());
        QCOMPARE(slots[1].time, QStringLiteral("0:0:0"));
        QCOMPARE(slots[2].date, DateTimeValue::fromDate(QDate(2002, 3, 12)));
        QCOMPARE(slots[2].time, QStringLiteral("0:0:0")); // the key is missing
        QVERIFY(slots[5].date.isZero());
    }

    void notesRoundTripWithoutGrowing() {
        SlotTable slots;
        slots[1].note = "{\\rtf1 one}";
        slots[7].note = QString();
        QVERIFY(NoteFiles::save(slots, host.dataDir()).isEmpty());
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 1)), QByteArray("{\\rtf1 one}\r\n"));
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 7)), QByteArray("\r\n"));
        for (int round = 0; round < 3; ++round) {
            SlotTable back;
            NoteFiles::load(back, host.dataDir());
            QCOMPARE(back[1].note, slots[1].note);
            QCOMPARE(back[7].note, QString());
            QVERIFY(NoteFiles::save(back, host.dataDir()).isEmpty());
        }
        for (int k = 1; k <= 12; ++k)
            QCOMPARE(QFile::permissions(NoteFiles::path(host.dataDir(), k)),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                         QFileDevice::WriteUser);
    }

    void eachNoteLoadsOnItsOwn() {
        // No Dat1.RTF: the other notes still load.
        writeFile(NoteFiles::path(host.dataDir(), 2), "{\\rtf1 two}\r\n");
        writeFile(NoteFiles::path(host.dataDir(), 12), "plain text, not RTF");
        writeFile(NoteFiles::path(host.dataDir(), 5), QByteArray());
        QDir().mkpath(NoteFiles::path(host.dataDir(), 6)); // a folder where a file should be
        SlotTable slots;
        slots[1].note = "stale";
        NoteFiles::load(slots, host.dataDir());
        QCOMPARE(slots[1].note, QString());
        QCOMPARE(slots[2].note, QStringLiteral("{\\rtf1 two}"));
        QCOMPARE(slots[5].note, QString());
        QCOMPARE(slots[6].note, QString());
        QCOMPARE(slots[12].note, QStringLiteral("plain text, not RTF"));
    }

    void leftoversOfAnInterruptedSaveAreRemoved() {
        writeFile(NoteFiles::path(host.dataDir(), 6) + ".mIdtCv", "half a note");
        writeFile(NoteFiles::path(host.dataDir(), 12) + ".Ab12Cd", "half a note");
        writeFile(NoteFiles::path(host.dataDir(), 6), "{\\rtf1 six}\r\n");
        writeFile(host.dataDir() + "/Dat6.RTF.bak", "the user's own copy");
        writeFile(host.dataDir() + "/Dat13.RTF.abcdef", "not one of ours");
        NoteFiles::removeLeftovers(host.dataDir());
        const QStringList left = QDir(host.dataDir()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left, (QStringList{"Dat13.RTF.abcdef", "Dat6.RTF", "Dat6.RTF.bak"}));
    }

    void hugeNoteLoads() {
        QByteArray big = "{\\rtf1 ";
        big.append(QByteArray(50 * 1024 * 1024, 'a'));
        big.append("}\r\n");
        writeFile(NoteFiles::path(host.dataDir(), 4), big);
        SlotTable slots;
        NoteFiles::load(slots, host.dataDir());
        QCOMPARE(slots[4].note.size(), big.size() - 2);
    }

    void failedSaveKeepsOldFilesAndNamesTheRest() {
        SlotTable slots;
        for (int k = 1; k <= 12; ++k)
            slots[k].note = QStringLiteral("old %1").arg(k);
        QVERIFY(NoteFiles::save(slots, host.dataDir()).isEmpty());
        // A folder in the way of Dat3.RTF's temporary file cannot be made away by any rights.
        QFile::remove(NoteFiles::path(host.dataDir(), 3));
        QDir().mkpath(NoteFiles::path(host.dataDir(), 3));
        for (int k = 1; k <= 12; ++k)
            slots[k].note = QStringLiteral("new %1").arg(k);
        QCOMPARE(NoteFiles::save(slots, host.dataDir()), QStringList{"Dat3.RTF"});
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 12)), QByteArray("new 12\r\n"));

        // A data folder that cannot be created at all: every note is reported, nothing is lost.
        const QString blocked = host.home.path() + "/blocked";
        writeFile(blocked, "a file, not a folder");
        QCOMPARE(NoteFiles::save(slots, blocked + "/pripomin").size(), 12);
    }

    // Files the save leaves alone keep what a stranger wrote into them after the last save.
    void savingChangesWritesOnlyTheFilesThatChange() {
        SlotStore store(host.configDir(), host.dataDir());
        store.slots[3].note = "{\\rtf1 three}";
        QVERIFY(store.save(sk).isEmpty());
        for (int k = 1; k <= 12; ++k)
            writeFile(NoteFiles::path(host.dataDir(), k), "untouched");
        writeFile(ini(), "untouched");
        QVERIFY(store.saveChanges(sk).isEmpty());
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 3)), QByteArray("untouched"));
        QCOMPARE(readFile(ini()), QByteArray("untouched"));

        store.slots[3].note = "{\\rtf1 three, typed on}";
        QVERIFY(store.saveChanges(sk).isEmpty());
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 3)), QByteArray("{\\rtf1 three, typed on}\r\n"));
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 4)), QByteArray("untouched"));
        QCOMPARE(readFile(ini()), QByteArray("untouched"));

        store.slots[7].time = "8:0:0";
        QVERIFY(store.saveChanges(sk).isEmpty());
        QVERIFY(readFile(ini()).contains("[DAT7]\nDátum=0:00:00\nČas=8:0:0\n"));
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 7)), QByteArray("untouched"));

        // A file that could not be written is tried again at the next save, changed or not.
        QFile::remove(NoteFiles::path(host.dataDir(), 5));
        QDir().mkpath(NoteFiles::path(host.dataDir(), 5));
        store.slots[5].note = "five";
        QCOMPARE(store.saveChanges(sk), QStringList{NoteFiles::path(host.dataDir(), 5)});
        QDir().rmdir(NoteFiles::path(host.dataDir(), 5));
        QVERIFY(store.saveChanges(sk).isEmpty());
        QCOMPARE(readFile(NoteFiles::path(host.dataDir(), 5)), QByteArray("five\r\n"));
    }

    void aFiredReminderStaysOnDiskUntilConfirmed_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("changedMeanwhile");
        QTest::newRow("box still open") << false << false;
        QTest::newRow("confirmed") << true << false;
        QTest::newRow("slot given a new reminder while the box is open") << false << true;
    }
    void aFiredReminderStaysOnDiskUntilConfirmed() {
        QFETCH(bool, confirm);
        QFETCH(bool, changedMeanwhile);
        SlotStore store(host.configDir(), host.dataDir());
        const DateTimeValue today = DateTimeValue::fromDate(QDate(2026, 12, 10));
        store.slots[2] = {"{\\rtf1 call the dentist}", today, "10:30:0"};
        QVERIFY(store.save(sk).isEmpty());

        const ReminderSlot before = store.slots[2];
        store.slots[2].note = " ";
        store.slots[2].time = "0:0:0";
        store.keepUntilConfirmed(2, before);
        if (changedMeanwhile)
            store.slots[2].time = "11:0:0";
        if (confirm)
            store.confirmed(2);
        QVERIFY(store.saveChanges(sk).isEmpty());
        const ReminderSlot expected = confirm || changedMeanwhile ? store.slots[2] : before;
        // Saving everything, as the closing does, keeps it the same way.
        for (const bool everything : {false, true}) {
            if (everything)
                QVERIFY(store.save(sk).isEmpty());
            SlotStore next(host.configDir(), host.dataDir());
            QVERIFY(next.loadSettings(sk));
            next.loadNotes();
            QCOMPARE(next.slots[2].note, expected.note);
            QCOMPARE(next.slots[2].time, expected.time);
            QCOMPARE(next.slots[2].date, today);
        }
    }
};

QTEST_GUILESS_MAIN(PersistenceTest)
#include "persistence.moc"
