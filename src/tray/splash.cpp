// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

Splash::Splash(std::function<void()> hideMainWindow) : m_hideMainWindow(std::move(hideMainWindow)) {
    setObjectName(QStringLiteral("Splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // No title bar and no taskbar entry; the thin frame stands for the dialog frame. A utility
    // window rather than a splash screen: window managers float both, but a splash screen gets no
    // frameless hint from Qt, and tiling ones then give it a title bar.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    QScreen* screen = QGuiApplication::primaryScreen();
    const double twipsPerPixel = 1440.0 / (screen ? screen->logicalDotsPerInchX() : 96.0);
    const int frame = 2;
    const QSize client(qRound(kWidthTwips / twipsPerPixel), qRound(kHeightTwips / twipsPerPixel));
    setFixedSize(client + QSize(2 * frame, 2 * frame));
    setStyleSheet(QStringLiteral("Splash { background: #ffff00; border: %1px outset #c0c0c0; }").arg(frame));
    setAttribute(Qt::WA_StyledBackground);

    m_label = new QLabel(QStringLiteral("Pripomin bol aktivovaný"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(12);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    m_label->setPalette(palette);
    m_label->setAutoFillBackground(true);
    // 1935 × 735 twips from the top left corner: a little larger than the client area.
    const QRect label(frame, frame, qRound(1935 / twipsPerPixel), qRound(735 / twipsPerPixel));
    m_label->setGeometry(label.intersected(QRect(QPoint(frame, frame), client)));

    if (screen) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kTimer1Interval);
    connect(m_timer, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    m_timer->start();
}

void Splash::Timer1_Timer() {
    m_timer->stop();
    if (m_hideMainWindow)
        m_hideMainWindow();
    close();
}

void Splash::cancel() {
    m_timer->stop();
    close();
}
