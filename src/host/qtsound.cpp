#include "host/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::playAsync(const QString& path) {
    if (!QFileInfo(path).isReadable()) {
        beep();
        return;
    }
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    m_effect->stop();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
}

void QtSound::beep() { QApplication::beep(); }
