// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sound.h"
#include "host/wavefile.h"

#include <QtEndian>

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The melody falls back to the beep whenever it cannot be played: a missing file, and a file that
// exists but is no sound (damaged, or another format under the expected name), every time it is asked.
namespace {
QByteArray le16(int v) {
    QByteArray b(2, 0);
    qToLittleEndian<quint16>(quint16(v), b.data());
    return b;
}
QByteArray le32(qint64 v) {
    QByteArray b(4, 0);
    qToLittleEndian<quint32>(quint32(v), b.data());
    return b;
}
QByteArray chunk(const char* id, const QByteArray& body, qint64 statedSize = -1) {
    QByteArray c = QByteArray(id) + le32(statedSize < 0 ? body.size() : statedSize) + body;
    return body.size() % 2 ? c + '\0' : c;
}
QByteArray fmt(int tag, int channels, int rate, int bits, int realTag = 0) {
    const int frame = channels * bits / 8;
    QByteArray body = le16(tag) + le16(channels) + le32(rate) + le32(rate * frame) + le16(frame) + le16(bits);
    if (realTag) // the extensible header: size, valid bits, channel mask, then the format's GUID
        body += le16(22) + le16(bits) + le32(0) + le16(realTag) + QByteArray(14, 'g');
    return chunk("fmt ", body);
}
QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le32(chunks.size() + 4) + "WAVE" + chunks;
}
} // namespace

class SoundTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void waveFilesGiveTheirSamples_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("plays");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("samplesBytes");
        using F = PcmSound::Format;
        const QByteArray data(400, '\1');
        QTest::newRow("16-bit mono") << riff(fmt(1, 1, 22050, 16) + chunk("data", data)) << true
                                     << int(F::S16LE) << 22050 << 1 << 400;
        QTest::newRow("8-bit stereo after an odd chunk")
            << riff(chunk("LIST", "abc") + fmt(1, 2, 8000, 8) + chunk("data", data)) << true << int(F::U8)
            << 8000 << 2 << 400;
        QTest::newRow("extensible float") << riff(fmt(0xfffe, 2, 48000, 32, 3) + chunk("data", data)) << true
                                          << int(F::Float32LE) << 48000 << 2 << 400;
        QTest::newRow("24-bit, data cut short to whole frames")
            << riff(fmt(1, 2, 44100, 24) + chunk("data", data, 100000)) << true << int(F::S24LE) << 44100 << 2
            << 396;
        QTest::newRow("compressed") << riff(fmt(2, 1, 22050, 4) + chunk("data", data)) << false << 0 << 0 << 0
                                    << 0;
        QTest::newRow("extensible compressed")
            << riff(fmt(0xfffe, 1, 22050, 16, 2) + chunk("data", data)) << false << 0 << 0 << 0 << 0;
        QTest::newRow("data before the format")
            << riff(chunk("data", data) + fmt(1, 1, 22050, 16)) << false << 0 << 0 << 0 << 0;
        QTest::newRow("no samples") << riff(fmt(1, 1, 22050, 16) + chunk("data", {})) << false << 0 << 0 << 0
                                    << 0;
        QTest::newRow("no channels") << riff(fmt(1, 0, 22050, 16) + chunk("data", data)) << false << 0 << 0
                                     << 0 << 0;
        QTest::newRow("not a wave") << QByteArray(4096, '\x5a') << false << 0 << 0 << 0 << 0;
        QTest::newRow("header cut short")
            << QByteArray("RIFF\x10\0\0\0WAVEfmt ") << false << 0 << 0 << 0 << 0;
    }
    void waveFilesGiveTheirSamples() {
        QFETCH(QByteArray, file);
        QFETCH(bool, plays);
        const std::optional<PcmSound> sound = WaveFile::read(file);
        QCOMPARE(sound.has_value(), plays);
        if (!plays)
            return;
        QTEST(int(sound->format), "format");
        QTEST(sound->rate, "rate");
        QTEST(sound->channels, "channels");
        QTEST(int(sound->samples.size()), "samplesBytes");
    }

    void unplayableFilesBeepInstead() {
        QTemporaryDir dir;
        int beeps = 0;
        DesktopSound sound(QStringLiteral(PRIPOMIN_OUTPUT_DIR), [&] { ++beeps; });

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

    // The player takes its melody's format from the first line of its input: a player ended
    // before its melody ends quietly, a line it cannot read ends it with a message, and a melody
    // it reads goes to the sound server (none here: told, and ended).
    void playerReadsItsMelody_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("ended before its melody") << QByteArray() << 0;
        QTest::newRow("a melody, no sound server") << QByteArray("s16le 22050 1\n").append(4410, '\0') << 1;
        QTest::newRow("unknown format") << QByteArray("mp3 22050 1\n") << 2;
        QTest::newRow("no rate") << QByteArray("s16le 0 1\n") << 2;
        QTest::newRow("a word short") << QByteArray("s16le 22050\n") << 2;
        QTest::newRow("no line end") << QByteArray(200, 'x') << 2;
        QTest::newRow("ended inside the line") << QByteArray("s16le 22") << 2;
    }
    void playerReadsItsMelody() {
        QFETCH(QByteArray, input);
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pripomin-test"));
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/pripomin-melody"), {});
        QVERIFY(player.waitForStarted());
        player.write(input);
        player.closeWriteChannel();
        QVERIFY(player.waitForFinished(10000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QTEST(player.exitCode(), "exitCode");
        QCOMPARE(player.readAllStandardError().isEmpty(), player.exitCode() == 0);
    }

    // A player started ahead is used as one started when the melody is due; either beeps only
    // when the melody cannot be played.
    void playersAheadAndWhenDue_data() {
        QTest::addColumn<bool>("ahead");
        QTest::newRow("started when due") << false;
        QTest::newRow("started ahead") << true;
    }
    void playersAheadAndWhenDue() {
        QFETCH(bool, ahead);
        QTemporaryDir noPlayer;
        int beeps = 0;
        {
            DesktopSound sound(noPlayer.path(), [&] { ++beeps; });
            if (ahead)
                sound.prepare();
            QCOMPARE(beeps, 0);
            sound.playAsync(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flauta.wav"));
            QCOMPARE(beeps, 1);
        }
        DesktopSound sound(QStringLiteral(PRIPOMIN_OUTPUT_DIR), [&] { ++beeps; });
        if (ahead)
            sound.prepare();
        sound.playAsync(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flauta.wav"));
        // Decoding a short file takes well under this; a beep would have come by then.
        QTest::qWait(500);
        QCOMPARE(beeps, 1);
    }
};

QTEST_MAIN(SoundTest)
#include "sound.moc"
