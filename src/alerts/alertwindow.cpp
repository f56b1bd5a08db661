// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertwindow.h"

#include "alerts/alertwindows.h"
#include "editor/todaydisplay.h"
#include "host/clock.h"
#include "host/datetime.h"
#include "host/messageboxes.h"
#include "host/richtextbox.h"
#include "host/shell.h"
#include "host/sound.h"

#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {
const QString kWindowTitle = QStringLiteral("Pripomin - odkaz");
const QString kConfirmText = QString::fromUtf8("Chceli Ste, aby sme  upozornili na Váš odkaz.");
const QString kConfirmTitle = QString::fromUtf8("Pripomin - nový odkaz");
constexpr int kConfirmStyle = MessageBoxes::Information + MessageBoxes::SystemModal; // 4160
constexpr int kEscape = 27;

// The message is long and some labels are small (the oval's is 161 x 25 pixels): take the
// largest font, down to a floor that stays legible, whose wrapped text fits the label. When even
// that does not fit, the label grows upwards, away from the note box below it, so that no part
// of the date and time is cut off.
void fitFontToLabel(QLabel* label) {
    QFont font = label->font();
    int needed = 0;
    for (double points = 9.0; points >= 6.0; points -= 0.5) {
        font.setPointSizeF(points);
        needed = QFontMetrics(font)
                     .boundingRect(QRect(0, 0, label->width(), 100000),
                                   int(label->alignment()) | Qt::TextWordWrap, label->text())
                     .height();
        if (needed <= label->height())
            break;
    }
    label->setFont(font);
    if (needed > label->height()) {
        QRect grown = label->geometry();
        grown.setTop(std::max(0, grown.bottom() + 1 - needed));
        label->setGeometry(grown);
    }
}
} // namespace

AlertWindow::AlertWindow(const AlertDesign& design, AlertWindows& owner)
    // A dialog of fixed size: tiling window managers float it at its own place instead of tiling it.
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_design(design),
      m_owner(owner) {
    setObjectName(QString::fromUtf8(design.name));
    setWindowTitle(kWindowTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    // A click on the picture gives the window the keys, so Esc can reach Form_KeyUp.
    setFocusPolicy(Qt::ClickFocus);
    const QString folder = owner.host().programFolder;

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette labelColours = Label1->palette();
    if (design.framed) {
        labelColours.setColor(QPalette::WindowText, AlertDesigns::kFramedLabelColor);
    } else {
        // The system's window-text colour on its window-background colour.
        Label1->setAutoFillBackground(true);
        labelColours.setColor(QPalette::Window, labelColours.color(QPalette::Base));
        labelColours.setColor(QPalette::WindowText, labelColours.color(QPalette::Text));
    }
    Label1->setPalette(labelColours);

    hlásenie = new RichTextBox(this);
    hlásenie->setObjectName(QString::fromUtf8("hlásenie"));
    hlásenie->setReadOnly(true);
    hlásenie->installEventFilter(this);
    // A link in the note opens with Ctrl+click, as in the main window's editor.
    connect(hlásenie, &RichTextBox::linkActivated, this,
            [this](const QString& target) { m_owner.host().shell->open(target); });

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setToolTip(QStringLiteral(" OK "));
    Image1->setAccessibleName(QStringLiteral("OK"));
    Image1->setPixmap(QPixmap(folder + QLatin1Char('/') + QLatin1String(AlertDesigns::kOkPicture)));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    if (design.framed) {
        Line1 = new QFrame(this);
        Line1->setObjectName(QStringLiteral("Line1"));
        Line1->setFrameShape(QFrame::NoFrame);
        Line1->setAutoFillBackground(true);
        QPalette lineColour = Line1->palette();
        lineColour.setColor(QPalette::Window, lineColour.color(QPalette::WindowText));
        Line1->setPalette(lineColour);
    }
    placeControls();
}

AlertWindow::~AlertWindow() = default;

Twips::PerPixel AlertWindow::screenTwipsPerPixel() const {
    return Twips::perPixel(screen());
}

void AlertWindow::placeControls() {
    const Twips::PerPixel tpp = screenTwipsPerPixel();
    const auto px = [&](const QRect& r) {
        return QRect(Twips::toPixels(r.x(), tpp.x), Twips::toPixels(r.y(), tpp.y),
                     Twips::toPixels(r.width(), tpp.x), Twips::toPixels(r.height(), tpp.y));
    };
    setFixedSize(Twips::toPixels(m_design.size.width(), tpp.x),
                 Twips::toPixels(m_design.size.height(), tpp.y));
    Label1->setGeometry(px(m_design.label1));
    hlásenie->setGeometry(px(m_design.hlásenie));
    Image1->setGeometry(QRect(
        QPoint(Twips::toPixels(m_design.image1.x(), tpp.x), Twips::toPixels(m_design.image1.y(), tpp.y)),
        AlertDesigns::kImage1Size));
    if (Line1) {
        const QLine l = AlertDesigns::kLine1;
        const int x1 = Twips::toPixels(l.x1(), tpp.x);
        Line1->setGeometry(x1, Twips::toPixels(l.y1(), tpp.y), Twips::toPixels(l.x2(), tpp.x) - x1, 1);
    }
}

QRegion AlertWindow::vytvortvar(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY) {
    return AlertOutlines::vytvortvar(AlertOutlines::forSlot(m_design.slot), scaleX, scaleY, offsetX, offsetY,
                                     screenTwipsPerPixel());
}

int AlertWindow::centredEdge(double screenTwips, int windowTwips) {
    const long difference = std::lrint(screenTwips - windowTwips);
    return int(difference / 2);
}

QString AlertWindow::messageLine(const QDateTime& now, const QLocale& locale) {
    const QTime t = now.time();
    // The weekday is that of the date shown, also for an alert that opens just past midnight.
    return QString::fromUtf8("Chceli ste, aby sme vás upozornili dňa ") +
           DateText::dateText(now.date(), locale) + QLatin1Char(' ') + TodayDisplay::weekdayName(now.date()) +
           QStringLiteral(" o ") + DateText::timeText(QTime(t.hour(), t.minute(), t.second()), locale) +
           QString::fromUtf8(" hod., na nasledujúci odkaz : ");
}

void AlertWindow::Form_Load() {
    const HostServices& host = m_owner.host();
    const Twips::PerPixel tpp = screenTwipsPerPixel();
    placeControls();

    // 1. Framed windows are centred; the figures keep their stored place.
    if (m_design.framed) {
        const QRect screenArea = screen() ? screen()->geometry() : QRect();
        const int left = centredEdge(screenArea.width() * tpp.x, m_design.size.width());
        const int top = centredEdge(screenArea.height() * tpp.y, m_design.size.height());
        move(screenArea.x() + Twips::toPixels(left, tpp.x), screenArea.y() + Twips::toPixels(top, tpp.y));
    } else if (m_design.storedPosition) {
        move(Twips::toPixels(m_design.storedPosition->x(), tpp.x),
             Twips::toPixels(m_design.storedPosition->y(), tpp.y));
    }

    // 2. Shape.
    m_region = vytvortvar(1.0f, 1.0f, 0, 0);
    setMask(m_region);

    // 3. Message line, at the moment of loading.
    Label1->setText(messageLine(host.clock->now()));
    fitFontToLabel(Label1);

    // 4. Note.
    hlásenie->setTextRTF(m_owner.alertText());

    // 5. Sound; it plays on while the box below waits. A file that cannot be played gives the beep.
    if (host.sound)
        host.sound->playAsync(host.programFolder + QStringLiteral("/Flauta.wav"));

    // 6. Confirmation; the window shows only after it. The box may outlive this window (the
    // program ending inside it), so nothing of it is touched afterwards unless it still exists.
    const QPointer<AlertWindow> self(this);
    host.boxes->msgBox(kConfirmText, kConfirmStyle, kConfirmTitle);
    if (!self)
        return;
    m_owner.confirmed(m_design.slot);
    if (m_closing)
        return;
    m_loaded = true;
    // The picture is read only now, out of the way of the box's second, and is not kept in the
    // program-wide pixmap cache: each slot has its own, and the window is seldom opened again.
    m_picture =
        QPixmap::fromImage(QImage(host.programFolder + QLatin1Char('/') + QLatin1String(m_design.picture)));
    show();
    raise();
    activateWindow();
    hlásenie->setFocus();
}

void AlertWindow::bringForward() {
    // A window still waiting in its load is shown by that load.
    if (!m_loaded || m_closing)
        return;
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void AlertWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, m_picture);
}

void AlertWindow::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event);
}

void AlertWindow::Form_MouseDown(QMouseEvent* event) {
    // Any button drags, as if the window had a title bar; the window system does the moving.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        m_dragOffset.reset();
        return;
    }
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void AlertWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset && event->buttons() != Qt::NoButton)
        move(event->globalPosition().toPoint() - *m_dragOffset);
}

void AlertWindow::mouseReleaseEvent(QMouseEvent*) {
    m_dragOffset.reset();
}

void AlertWindow::keyReleaseEvent(QKeyEvent* event) {
    if (m_design.framed && event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        Form_KeyUp(kEscape);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void AlertWindow::Form_KeyUp(int keyCode) {
    if (keyCode == kEscape)
        closeAlert();
}

void AlertWindow::hlásenie_KeyDown(int keyCode) {
    if (keyCode == kEscape)
        closeAlert();
}

void AlertWindow::Image1_Click() {
    closeAlert();
}

bool AlertWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hlásenie && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            hlásenie_KeyDown(kEscape);
            return true;
        }
    } else if (watched == Image1) {
        // The OK picture takes its own presses: they neither drag the window nor reach it.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            return true;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && Image1->rect().contains(mouse->position().toPoint()))
                Image1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AlertWindow::closeAlert() {
    if (m_closing)
        return;
    m_closing = true;
    if (const HostServices& host = m_owner.host(); host.sound)
        host.sound->beep();
    m_owner.clearAlertText();
    // Unloading: the window goes now and is deleted once back in the event loop, as this runs
    // inside one of its own event handlers.
    close();
    m_owner.forget(this);
}
