// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/soundplugin/multimediasound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

MultimediaSound::MultimediaSound() = default;
MultimediaSound::~MultimediaSound() = default;

void MultimediaSound::play(const QString& path, std::function<void()> failed) {
    m_failedNow = std::move(failed);
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
        // The file is decoded after play() returns; one that is no sound ends in the error status.
        QObject::connect(m_effect.get(), &QSoundEffect::statusChanged, m_effect.get(), [this] {
            if (m_effect->status() != QSoundEffect::Error)
                return;
            m_failed = {m_effect->source().toLocalFile(),
                        QFileInfo(m_effect->source().toLocalFile()).lastModified()};
            if (m_failedNow)
                m_failedNow();
        });
    }
    m_effect->stop();
    const QUrl source = QUrl::fromLocalFile(path);
    // The same source is not decoded again, so its error would not be reported again either; the
    // effect's status cannot tell (stopping it may leave the error state), so the failure is kept
    // here, until the file changes.
    const bool failedBefore = m_effect->source() == source && m_failed.first == path;
    if (failedBefore && m_failed.second == QFileInfo(path).lastModified()) {
        if (m_failedNow)
            m_failedNow();
        return;
    }
    if (failedBefore)
        m_effect->setSource(QUrl()); // the file changed since: decode it again
    m_failed = {};
    m_effect->setSource(source);
    m_effect->play();
}
