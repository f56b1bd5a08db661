// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/frmsystray.h"

#include "host/shutdown.h"
#include "host/tray.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTimer>

namespace {
// Stands in when a picture file is missing, so the icon is never blank.
QPixmap fallbackPicture(const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    return pixmap;
}

QLabel* pictureHolder(QWidget* form, const char* name, const QString& file, const QColor& fallback) {
    auto* label = new QLabel(form);
    label->setObjectName(QLatin1String(name));
    QPixmap pixmap(file);
    label->setPixmap(pixmap.isNull() ? fallbackPicture(fallback) : pixmap);
    label->hide();
    return label;
}
} // namespace

const QStringList& FrmSysTray::menuCaptions() {
    static const QStringList captions{QString(),
                                      QStringLiteral("Menu"),
                                      QString(),
                                      QStringLiteral("Ukonči program"),
                                      QStringLiteral("Zamkni počítač"),
                                      QStringLiteral("Vypni počítač")};
    return captions;
}

FrmSysTray::FrmSysTray(HostServices host, Owner owner) : m_host(std::move(host)), m_owner(std::move(owner)) {
    setObjectName(QStringLiteral("FrmSysTray"));
    setWindowFlag(Qt::FramelessWindowHint);
    m_flash1 =
        pictureHolder(this, "Flash1", m_host.programFolder + QStringLiteral("/Flash1.png"), Qt::yellow);
    m_flash2 = pictureHolder(this, "Flash2", m_host.programFolder + QStringLiteral("/Flash2.png"), Qt::red);
    m_flash1Icon = QIcon(m_flash1->pixmap());
    m_flash2Icon = QIcon(m_flash2->pixmap());

    m_tmrFlash = new QTimer(this);
    m_tmrFlash->setObjectName(QStringLiteral("TmrFlash"));
    m_tmrFlash->setInterval(kFlashInterval);
    connect(m_tmrFlash, &QTimer::timeout, this, [this] { TmrFlash_Timer(); });

    m_menu = new QMenu(QStringLiteral("&PopupMenu"), this);
    m_menu->setObjectName(QStringLiteral("mPopupMenu"));
    // The menu starts with a separator line; Qt would hide a leading one.
    m_menu->setSeparatorsCollapsible(false);
    const char* names[] = {"mSep1", "mMaximize", "mSep2", "mExit", "mZamok", "mAbout"};
    void (FrmSysTray::*handlers[])() = {nullptr,
                                        &FrmSysTray::mMaximize_Click,
                                        nullptr,
                                        &FrmSysTray::mExit_Click,
                                        &FrmSysTray::mZamok_Click,
                                        &FrmSysTray::mAbout_Click};
    for (int i = 0; i < 6; ++i) {
        QAction* item = handlers[i] ? m_menu->addAction(menuCaptions().at(i)) : m_menu->addSeparator();
        item->setObjectName(QLatin1String(names[i]));
        if (handlers[i])
            connect(item, &QAction::triggered, this, [this, handler = handlers[i]] { (this->*handler)(); });
    }

    if (m_host.tray) {
        m_icon = m_host.tray->create();
        m_icon->onEvent = [this](::TrayIcon::Event event) { FrmSysTray_MouseMove(event); };
        m_icon->onAreaChanged = [this] { Q_EMIT areaChanged(); };
        m_icon->setMenu(m_menu);
    }

    // The load event.
    setWindowIcon(flash1());
    setVisible(false);
    enableFlash(true);
    Tooltip(QStringLiteral(" Pripomin sleduje Vami naplánované odkazy "));
    TrayNotify(::TrayIcon::Add);
}

FrmSysTray::~FrmSysTray() {
    if (m_icon) {
        m_icon->onEvent = nullptr;
        m_icon->onAreaChanged = nullptr;
    }
}

QIcon FrmSysTray::flash1() const {
    return m_flash1Icon;
}
QIcon FrmSysTray::flash2() const {
    return m_flash2Icon;
}

QString FrmSysTray::Tooltip() const {
    return m_tooltip;
}

void FrmSysTray::Tooltip(const QString& text) {
    // The field always keeps room for its terminating NUL: a longer text is cut to 63 characters
    // rather than leaving a field that has no end.
    m_tooltip = (text.left(kTooltipField - 1) + QChar(0)).leftJustified(kTooltipField, QLatin1Char(' '));
}

QString FrmSysTray::shownTooltip() const {
    return m_tooltip.left(m_tooltip.indexOf(QChar(0)));
}

qint16 FrmSysTray::Interval() const {
    return static_cast<qint16>(m_tmrFlash->interval());
}

void FrmSysTray::Interval(qint16 milliseconds) {
    // Zero or less would make the timer fire on every pass of the event loop; such a value is
    // refused and the interval stays as it was.
    if (milliseconds > 0) {
        m_tmrFlash->setInterval(milliseconds);
        enableFlash(m_flashEnabled);
    }
    TrayNotify(::TrayIcon::Modify);
}

bool FrmSysTray::flashing() const {
    return m_flashEnabled && m_tmrFlash->isActive();
}

void FrmSysTray::enableFlash(bool on) {
    m_flashEnabled = on;
    if (on && !m_tmrFlash->isActive())
        m_tmrFlash->start();
    else if (!on)
        m_tmrFlash->stop();
}

void FrmSysTray::TrayIcon(const QIcon& picture) {
    enableFlash(false);
    if (picture.isNull())
        enableFlash(true); // a failed step leaves flashing on
    else
        setWindowIcon(picture);
    TrayNotify(::TrayIcon::Modify);
}

void FrmSysTray::TrayIcon(const QString& text) {
    enableFlash(false);
    if (text.toUpper() == QLatin1String("DEFAULT")) {
        enableFlash(true);
        setWindowIcon(flash2());
    } else {
        enableFlash(true);
        // The next tick replaces the loaded picture by Flash1 or Flash2 again.
        const QPixmap loaded(text);
        if (!loaded.isNull())
            setWindowIcon(QIcon(loaded));
    }
    TrayNotify(::TrayIcon::Modify);
}

void FrmSysTray::TrayIcon(const QWidget* window) {
    enableFlash(false);
    if (!window || window->windowIcon().isNull())
        enableFlash(true);
    else
        setWindowIcon(window->windowIcon());
    TrayNotify(::TrayIcon::Modify);
}

void FrmSysTray::TmrFlash_Timer() {
    m_phase = !m_phase;
    setWindowIcon(m_phase ? flash2() : flash1());
    TrayNotify(::TrayIcon::Modify);
}

void FrmSysTray::TrayNotify(int message) {
    if (m_icon)
        m_icon->notify(message, windowIcon(), shownTooltip());
}

bool FrmSysTray::areaPresent() const {
    return m_icon && m_icon->areaPresent();
}

void FrmSysTray::FrmSysTray_MouseMove(::TrayIcon::Event event) {
    if (event == ::TrayIcon::Event::MenuRequested && m_icon)
        m_icon->popUpMenu(m_menu);
}

void FrmSysTray::leaveTrayFor(const std::function<void()>& next) {
    // While locking, the lock only comes forward: nothing shows the notes or ends the lock.
    if (m_owner.heldByLock && m_owner.heldByLock())
        return;
    TrayNotify(::TrayIcon::Delete);
    if (m_owner.unload)
        m_owner.unload();
    if (next)
        next();
}

void FrmSysTray::mMaximize_Click() {
    leaveTrayFor(m_owner.showMainWindow);
}

void FrmSysTray::mExit_Click() {
    leaveTrayFor(m_owner.closeMainWindow);
}

void FrmSysTray::mZamok_Click() {
    if (m_owner.mZamok)
        m_owner.mZamok();
}

void FrmSysTray::mAbout_Click() {
    if (m_host.shutdown)
        m_host.shutdown->powerOff();
}

void FrmSysTray::MeQueryUnload(QWidget* F, qint16& Cancel, qint16 UnloadMode) {
    if (UnloadMode != 0 || !F)
        return;
    Cancel = 1;
    F->setWindowState(F->windowState() | Qt::WindowMinimized);
    F->hide();
}

void FrmSysTray::MeResize(QWidget* F) {
    if (F && F->isMinimized())
        F->hide();
}
