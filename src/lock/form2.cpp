// SPDX-License-Identifier: GPL-3.0-or-later
#include "lock/form2.h"

#include "host/twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

namespace {
// Every typed character shows as "*", whatever the style's own mask character is.
class AsteriskStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The design's twips, scaled to the screen the window covers.
QRect fromTwips(int left, int top, int width, int height, double sx, double sy) {
    return Twips::toPixels(QRect(left, top, width, height),
                           {Twips::kPerDesignPixel / sx, Twips::kPerDesignPixel / sy});
}
} // namespace

Form2::Form2(const QString& programFolder) : m_picture(programFolder + QStringLiteral("/Form2.png")) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Pripomin - zámok"));
    // No title bar, above everything, not managed: the window manager must not move it, put a
    // panel over it or let it be closed.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Počítač je  uzamknutý"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    auto* style = new AsteriskStyle;
    style->setParent(Text1);
    Text1->setStyle(style);
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setToolTip(QStringLiteral(" Napíšte heslo "));
    Text1->setAccessibleName(QStringLiteral("Heslo"));
    Text1->setContextMenuPolicy(Qt::NoContextMenu);

    Command1 = new QPushButton(QStringLiteral("Odomkni"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral(" Potvrďte heslo "));
    Command1->setAutoDefault(false);
    Command1->setStyleSheet(
        QStringLiteral("QPushButton { background: white; color: black; border: 1px solid #808080; }"
                       "QPushButton:pressed { background: #d8d8d8; }"
                       "QPushButton:focus { border: 1px dotted black; }"));

    setTabOrder(Text1, Command1);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (onCommand1)
            onCommand1();
    });
    connect(Text1, &QLineEdit::returnPressed, this, [this] {
        if (onCommand1)
            onCommand1();
    });

    // A screen attached, taken away or resized while locked is covered as well.
    for (QScreen* each : QGuiApplication::screens())
        connect(each, &QScreen::geometryChanged, this, &Form2::coverScreens);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* added) {
        connect(added, &QScreen::geometryChanged, this, &Form2::coverScreens);
        coverScreens();
    });
    // Queued: the screen going away is still in the list while it is being announced.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &Form2::coverScreens, Qt::QueuedConnection);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &Form2::coverScreens);
    coverScreens();
}

void Form2::coverScreens() {
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect whole;
    for (QScreen* each : QGuiApplication::screens())
        whole |= each->geometry();
    layOut(screen ? screen->geometry() : QRect(0, 0, kDesignWidth, kDesignHeight),
           whole.isEmpty() ? QRect(0, 0, kDesignWidth, kDesignHeight) : whole);
    update();
    if (isVisible())
        raise();
}

void Form2::layOut(const QRect& primary, const QRect& whole) {
    setGeometry(whole);
    m_primary = primary.translated(-whole.topLeft());
    const double sx = primary.width() / double(kDesignWidth);
    const double sy = primary.height() / double(kDesignHeight);
    const QPoint origin = m_primary.topLeft();

    Label1->setGeometry(fromTwips(5760, 600, 3855, 495, sx, sy).translated(origin));
    Text1->setGeometry(fromTwips(6240, 1200, 975, 375, sx, sy).translated(origin));
    Command1->setGeometry(fromTwips(7320, 1200, 975, 375, sx, sy).translated(origin));

    // Arial 15.75 pt and MS Sans Serif 12 pt at 96 dots per inch, scaled like the places.
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(qMax(8, qRound(21 * sy)));
    Label1->setFont(labelFont);
    QFont boxFont(QStringLiteral("MS Sans Serif"));
    boxFont.setPixelSize(qMax(8, qRound(16 * sy)));
    Text1->setFont(boxFont);
    QFont buttonFont(QStringLiteral("MS Sans Serif"));
    buttonFont.setPixelSize(qMax(8, qRound(13 * sy)));
    Command1->setFont(buttonFont);
}

void Form2::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_picture.isNull())
        return;
    // The picture on every screen, filling it without distortion.
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry().translated(-geometry().topLeft());
        if (!area.intersects(rect()))
            continue;
        const QSize size = m_picture.size().scaled(area.size(), Qt::KeepAspectRatioByExpanding);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(area.center());
        p.save();
        p.setClipRect(area);
        p.drawPixmap(target, m_picture);
        p.restore();
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    // Only the right password closes the lock.
    if (m_closable)
        event->accept();
    else
        event->ignore();
}

bool Form2::event(QEvent* event) {
    if (event->type() == QEvent::WindowBlocked && onBlocked)
        onBlocked(true);
    else if (event->type() == QEvent::WindowUnblocked && onBlocked)
        onBlocked(false);
    return QWidget::event(event);
}
