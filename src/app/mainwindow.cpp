#include "app/mainwindow.h"

#include "editor/slottabs.h"
#include "editor/timepicker.h"
#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/datetime.h"
#include "host/richtextbox.h"
#include "host/sound.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
// Design geometry is in twips, 15 to a pixel.
constexpr int px(int twips) {
    return twips / 15;
}
QRect designRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}
const QDateTime kPickerDesignValue(QDate(2002, 2, 4), QTime(0, 0));
} // namespace

MainWindow::MainWindow(HostServices host, QWidget* parent)
    : QWidget(parent), m_host(std::move(host)), m_store(m_host.configFolder, m_host.dataFolder) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Pripomin"));
    buildControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Lišta1 = new ToolBarControl(m_host.programFolder, this);
    Lišta1->setObjectName(QStringLiteral("Lišta1"));
    layout->addWidget(Lišta1);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(12105), px(3315));
    layout->addWidget(client);

    SSTab1 = new SlotTabs(client);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(designRect(0, 0, 12060, 2865));
    SSTab1->setIconSize(QSize(10, 10));
    // Twelve tabs share the width of the window, so each keeps its caption short of padding.
    SSTab1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 0px; min-width: 20px; }"));
    QFont tabFont(QStringLiteral("DejaVu Sans Condensed"));
    tabFont.setPixelSize(9);
    SSTab1->tabBar()->setFont(tabFont);
    const QIcon tabPicture(m_host.programFolder + QStringLiteral("/tab.png"));
    const QPixmap helpPicture(m_host.programFolder + QStringLiteral("/help.png"));
    for (int k = 1; k <= 12; ++k) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page%1").arg(k));
        SSTab1->addTab(page, tabPicture, QStringLiteral("00:00"));

        auto* picker = new TimePicker(page);
        picker->setObjectName(QStringLiteral("DTPicker%1").arg(k));
        picker->setDateTime(kPickerDesignValue);
        picker->setToolTip(QStringLiteral(" Aktuálny čas zobrazenia odkazu  "));
        picker->setAccessibleName(QStringLiteral("Čas odkazu %1").arg(k));
        // A picker change reaches the slot's time at once; nothing needs to poll the pickers.
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, k] {
            sampleSlotTime(k);
            m_watcher->slotChanged(k);
        });
        DTPicker[k - 1] = picker;

        auto* image = new QLabel(page);
        image->setObjectName(QStringLiteral("Image%1").arg(k));
        image->setPixmap(helpPicture);
        image->setScaledContents(true);
        image->setToolTip(QStringLiteral(" Nápoveda "));
        image->setAccessibleName(QStringLiteral("Nápoveda"));
        image->setCursor(Qt::PointingHandCursor);
        image->installEventFilter(this);
        Image[k - 1] = image;
    }
    // Controls on a tab are placed relative to the tab control, header included.
    SSTab1->ensurePolished();
    const int pageTop = SSTab1->tabBar()->sizeHint().height();
    for (int i = 0; i < 12; ++i) {
        DTPicker[i]->setGeometry(designRect(5640, 480, 1215, 375).translated(0, -pageTop));
        Image[i]->setGeometry(designRect(6000, 1320, 480, 480).translated(0, -pageTop));
    }
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });

    RichTextBox1 = new RichTextBox(client);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setGeometry(designRect(120, 360, 5415, 2415));
    RichTextBox1->setAccessibleName(QStringLiteral("Text odkazu"));
    // New text is written at the size the size list starts with.
    QFont noteFont = RichTextBox1->font();
    noteFont.setPointSize(12);
    RichTextBox1->setFont(noteFont);
    connect(RichTextBox1, &RichTextBox::contentChanged, this, [this] { RichTextBox1_Change(); });

    RichTextBox13 = new RichTextBox(client);
    RichTextBox13->setObjectName(QStringLiteral("RichTextBox13"));
    RichTextBox13->setGeometry(designRect(5760, 2400, 855, 375));
    RichTextBox13->setReadOnly(true);
    RichTextBox13->setFrameShape(QFrame::NoFrame);
    RichTextBox13->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBox13->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBox13->setFocusPolicy(Qt::NoFocus);
    RichTextBox13->document()->setDocumentMargin(2);
    RichTextBox13->setStyleSheet(QStringLiteral("background: transparent;"));
    QFont clockFont = RichTextBox13->font();
    clockFont.setPixelSize(12);
    clockFont.setBold(true);
    RichTextBox13->setFont(clockFont);
    // The time stays on one line, however wide the font draws it: the box grows to the right into
    // the gap before the calendar rather than wrapping the seconds.
    RichTextBox13->setLineWrapMode(QTextEdit::NoWrap);
    {
        const int needed = QFontMetrics(clockFont).horizontalAdvance(DateText::timeText(QTime(20, 58, 58))) + 8;
        QRect clockRect = RichTextBox13->geometry();
        clockRect.setWidth(std::max(clockRect.width(), needed));
        RichTextBox13->setGeometry(clockRect);
    }
    RichTextBox13->setText(QStringLiteral("čas"));
    RichTextBox13->setToolTip(QStringLiteral(" Aktuálny čas "));
    RichTextBox13->setAccessibleName(QStringLiteral("Aktuálny čas"));

    MonthView1 = new QCalendarWidget(client);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setGeometry(designRect(6960, 480, 4980, 2310));
    MonthView1->setAccessibleName(QStringLiteral("Dátum odkazu"));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setFirstDayOfWeek(QLocale().firstDayOfWeek());
    QFont calendarFont = MonthView1->font();
    calendarFont.setPixelSize(10);
    MonthView1->setFont(calendarFont);
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, [this] {
        m_selectionChangedSincePress = true;
        MonthView1_SelChange();
    });
    // The calendar does not follow the tabs, so the day it shows selected may be another slot's:
    // clicking it chooses it for this slot too, although the calendar reports no change then.
    if (auto* days = MonthView1->findChild<QAbstractItemView*>()) {
        m_calendarDays = days->viewport();
        m_calendarDays->installEventFilter(this);
    }
    connect(MonthView1, &QCalendarWidget::clicked, this, [this] {
        if (!std::exchange(m_selectionChangedSincePress, false))
            MonthView1_SelChange();
    });
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this, [this] { MonthView1_GetDayBold(); });

    MonthView2 = new QCalendarWidget(client);
    MonthView2->setObjectName(QStringLiteral("MonthView2"));
    MonthView2->setGeometry(designRect(6960, 360, 5010, 2310));
    MonthView2->setAccessibleName(QStringLiteral("Kalendár"));
    MonthView2->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView2->setFirstDayOfWeek(QLocale().firstDayOfWeek());
    MonthView2->setFont(calendarFont);
    MonthView2->hide();

    zabudnuté = new RichTextBox(client);
    zabudnuté->setObjectName(QStringLiteral("zabudnuté"));
    zabudnuté->setGeometry(designRect(120, 360, 6735, 2295));
    zabudnuté->setReadOnly(true);
    zabudnuté->setAccessibleName(QStringLiteral("Zabudnutý odkaz"));
    zabudnuté->hide();

    // The editor lies over the tab pages, beside the picker; the clock under the picker.
    RichTextBox1->raise();
    RichTextBox13->raise();
    MonthView1->raise();

    connect(Lišta1, &ToolBarControl::toolClicked, this, [this](const QString& id) { Lišta1_ToolClick(id); });
    connect(Lišta1, &ToolBarControl::comboChosen, this, [this](const QString& id) { Lišta1_ComboClick(id); });

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, [this] {
        Timer2_Timer();
        armTimer2();
    });
    m_forgotten = std::make_unique<ForgottenView>(
        m_host,
        ForgottenView::Controls{this, Lišta1, SSTab1, RichTextBox1, RichTextBox13, MonthView1, MonthView2, zabudnuté},
        m_store.slots, static_cast<const SlotSchedule&>(*this), [this](int k) {
            m_store.slots[k].date = DateTimeValue();
            emptySlot(k);
        });
    m_watcher = new Watcher(*m_host.clock, *this, this);
    connect(m_watcher, &Watcher::slotDue, this, [this](int k) { fireSlot(k); });
    connect(m_watcher, &Watcher::dayChanged, this, [this] { dnesje(); });
    connect(m_watcher, &Watcher::heldSlotDue, this, [this] {
        if (m_host.sound)
            m_host.sound->playAsync(m_host.programFolder + QStringLiteral("/Flauta.wav"));
    });
}

void MainWindow::fireSlot(int k) {
    const QString note = m_store.slots[k].note;
    emptySlot(k);
    // The alert's confirmation box runs its own event loop; opening it from inside the watcher's
    // check would stop the watcher until the box is answered, so the opening is queued.
    if (openAlert)
        openAlert(k, note);
}

void MainWindow::setAlertsHeld(bool held) {
    m_watcher->setHeld(held);
}

QDateTime MainWindow::now() const {
    return m_host.clock->now();
}

int MainWindow::currentSlot() const {
    const int t = SSTab1->currentIndex();
    return t >= 0 && t <= 11 ? t + 1 : 0;
}

DateTimeValue MainWindow::pickerValue(int k) const {
    return DateTimeValue::fromDateTime(DTPicker[k - 1]->dateTime());
}

void MainWindow::setPickerValue(int k, DateTimeValue v) {
    DTPicker[k - 1]->setDateTime(v.toDateTime());
}

void MainWindow::Form_Load() {
    m_loading = true;
    QCoreApplication::processEvents();

    const QDate ahead = now().date().addDays(31);
    for (QCalendarWidget* view : {MonthView1, MonthView2}) {
        const QSignalBlocker block(view);
        view->setSelectedDate(ahead);
    }
    MonthView1_GetDayBold();

    Lišta1->toolbar(2)->hide();
    Lišta1->toolbar(1)->show();

    // Centre on the screen without changing the size: the size the window has once the second
    // toolbar is put away.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = sizeHint();
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - s.width()) / 2, area.y() + (area.height() - s.height()) / 2);
    }

    QComboBox* fonts = Lišta1->combo(QStringLiteral("ID_Font"));
    const QStringList families = QFontDatabase::families();
    for (int i = 0; i <= 10 && i < families.size(); ++i)
        fonts->addItem(families.at(i));
    fonts->setEditText(QStringLiteral("MS Sans Serif"));
    QComboBox* sizes = Lišta1->combo(QStringLiteral("ID_Size"));
    if (sizes->count() == 0)
        sizes->addItems({"10", "12", "14", "18", "24", "36", "8"});
    sizes->setEditText(QStringLiteral("12"));

    načítajnastavenia();
    načítajtexty();
    // Show the selected slot's loaded note, so an edit cannot replace it with an empty editor.
    SSTab1_Click();
    dnesje();
    // The watcher covers the second of the start too; what fell due before it is a forgotten reminder.
    m_watcher->start();
    Timer2_Timer();
    armTimer2();
    m_loading = false;
    if (m_unloadPending) {
        Form_Unload();
        return;
    }
    m_forgotten->zistizabudnuté(m_watcher->watchedFrom());
    QCoreApplication::processEvents();
}

void MainWindow::Form_Unload() {
    if (m_unloaded)
        return;
    // A close that comes while the slots are still being read (a signal during the first message
    // loop pass) would write the empty table over the user's files: it waits for the load's end.
    if (m_loading) {
        m_unloadPending = true;
        return;
    }
    m_unloaded = true;
    Timer2->stop();
    m_watcher->stop();
    uložnastavenia();
    const QStringList failed = saveSlots();
    if (!failed.isEmpty() && !endDespiteFailedSave(failed)) {
        // The user keeps the program, to make room or fix the folder and close again.
        m_unloaded = false;
        m_watcher->resume();
        if (isVisible()) {
            armTimer2();
        } else {
            show();
            raise();
            activateWindow();
        }
        return;
    }
    if (onUnloaded)
        onUnloaded();
}

void MainWindow::closeForTermination() {
    m_terminating = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    if (m_unloaded)
        event->accept();
    else
        event->ignore();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Timer2_Timer();
    armTimer2();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // The clock is only rewritten while someone can see it.
    Timer2->stop();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A press starts a click of its own: whatever changed the selection before does not count.
    if (watched == m_calendarDays && event->type() == QEvent::MouseButtonPress)
        m_selectionChangedSincePress = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        for (QLabel* image : Image)
            if (watched == image) {
                nápoveda();
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::armTimer2() {
    if (!isVisible() || m_unloaded)
        return;
    // Wake just after the next whole second, so the clock turns over with the second.
    const int msIntoSecond = now().time().msec();
    Timer2->start(1000 - msIntoSecond + 5);
}
