// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sound.h"

#include "host/melodyplayer/melodyformat.h"
#include "host/wavefile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <utility>

namespace {
// A melody is a few seconds; a file far larger is not one to hold in memory.
constexpr qint64 kMaxSoundFile = 64 << 20;
// Set on a player once it was given its melody.
constexpr const char* kMelodyGiven = "pripomin-melody-given";

QString formatName(PcmSound::Format format) {
    static_assert(MelodyFormat::kNames.size() == std::size_t(PcmSound::Format::Float32LE) + 1);
    const std::string_view name = MelodyFormat::kNames[std::size_t(format)];
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}
} // namespace

DesktopSound::DesktopSound(const QString& playerFolder, std::function<void()> beeper)
    : m_player(playerFolder + QStringLiteral("/pripomin-melody")), m_beeper(std::move(beeper)) {}

DesktopSound::~DesktopSound() {
    for (QProcess* player : {m_ready.data(), m_playing.data()}) {
        if (!player)
            continue;
        player->disconnect();
        player->kill();
        player->waitForFinished(1000);
        delete player;
    }
}

QProcess* DesktopSound::startPlayer() {
    if (!QFileInfo(m_player).isExecutable()) {
        qWarning("Pripomin: no sound: the player %s is missing", qPrintable(m_player));
        return nullptr;
    }
    auto* player = new QProcess;
    // What the player says (no sound server, for one) goes where the program's own warnings go.
    player->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(player, &QProcess::finished, player, &QObject::deleteLater);
    QObject::connect(player, &QProcess::errorOccurred, player,
                     [player, beeper = m_beeper](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         qWarning("Pripomin: no sound: %s", qPrintable(player->errorString()));
                         // A player started ahead beeps only once its melody was due.
                         if (player->property(kMelodyGiven).toBool())
                             beeper ? beeper() : QApplication::beep();
                         player->deleteLater();
                     });
    player->start(m_player, {});
    return player;
}

void DesktopSound::prepare() {
    if (!m_ready || m_ready->state() == QProcess::NotRunning)
        m_ready = startPlayer();
}

void DesktopSound::playAsync(const QString& path) {
    QFile file(path);
    // Only what is really a sound goes to the player: a damaged file, or another format under the
    // melody's name, beeps instead every time.
    const std::optional<PcmSound> sound =
        file.open(QIODevice::ReadOnly) ? WaveFile::read(file.read(std::min(file.size(), kMaxSoundFile)))
                                       : std::nullopt;
    if (!sound) {
        beep();
        return;
    }
    // The melody before stops; the player ends at once, and the sound server drops its stream.
    if (m_playing && m_playing->state() != QProcess::NotRunning)
        m_playing->kill();
    QProcess* player = m_ready && m_ready->state() != QProcess::NotRunning ? m_ready.data() : startPlayer();
    m_ready = nullptr;
    if (!player) {
        beep();
        return;
    }
    player->setProperty(kMelodyGiven, true);
    player->write(QStringLiteral("%1 %2 %3\n")
                      .arg(formatName(sound->format))
                      .arg(sound->rate)
                      .arg(sound->channels)
                      .toLatin1());
    player->write(sound->samples);
    player->closeWriteChannel();
    m_playing = player;
}

void DesktopSound::beep() {
    if (m_beeper)
        m_beeper();
    else
        QApplication::beep();
}
