// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sound.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The melody falls back to the beep whenever it cannot be played: a missing file, and a file that
// exists but is no sound (damaged, or another format under the expected name), every time it is asked.
class SoundTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void unplayableFilesBeepInstead() {
        QTemporaryDir dir;
        int beeps = 0;
        QtSound sound(QStringLiteral(PRIPOMIN_OUTPUT_DIR), [&] { ++beeps; });

        sound.playAsync(dir.filePath("Flauta.wav"));
        QCOMPARE(beeps, 1);

        const QString garbage = dir.filePath("poskodene.wav");
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\x5a'));
        file.close();
        sound.playAsync(garbage);
        QTRY_COMPARE(beeps, 2);
        sound.playAsync(garbage);
        QTRY_COMPARE(beeps, 3);
    }

    void withoutItsPlugInTheMelodyBeeps() {
        QTemporaryDir noPlugIn;
        int beeps = 0;
        QtSound sound(noPlugIn.path(), [&] { ++beeps; });
        sound.playAsync(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flauta.wav"));
        QCOMPARE(beeps, 1);
    }

    void aRealMelodyDoesNotBeep() {
        int beeps = 0;
        QtSound sound(QStringLiteral(PRIPOMIN_OUTPUT_DIR), [&] { ++beeps; });
        sound.playAsync(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flauta.wav"));
        // Decoding a short file takes well under this; a beep would have come by then.
        QTest::qWait(500);
        QCOMPARE(beeps, 0);
    }
};

QTEST_MAIN(SoundTest)
#include "sound.moc"
