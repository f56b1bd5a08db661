// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindowcontrols.h"

#include "editor/slottabs.h"
#include "editor/timepicker.h"
#include "editor/toolbarcontrol.h"
#include "host/datetime.h"
#include "host/richtextbox.h"
#include "host/twips.h"

#include <QCalendarWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QRect designRect(int left, int top, int width, int height) {
    return Twips::toPixels(QRect(left, top, width, height));
}
int px(int twips) {
    return Twips::toPixels(twips);
}
} // namespace

QDateTime pickerDesignValue() {
    return {QDate(2002, 2, 4), QTime(0, 0)};
}

MainWindowControls buildMainWindowControls(QWidget* window, const QString& programFolder) {
    MainWindowControls c;
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    c.Lišta1 = new ToolBarControl(programFolder, window);
    c.Lišta1->setObjectName(QStringLiteral("Lišta1"));
    layout->addWidget(c.Lišta1);

    auto* client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(12105), px(3315));
    layout->addWidget(client);

    c.SSTab1 = new SlotTabs(client);
    c.SSTab1->setObjectName(QStringLiteral("SSTab1"));
    c.SSTab1->setGeometry(designRect(0, 0, 12060, 2865));
    c.SSTab1->setIconSize(QSize(10, 10));
    // Twelve tabs share the width of the window, so each keeps its caption short of padding.
    c.SSTab1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 0px; min-width: 20px; }"));
    QFont tabFont(QStringLiteral("DejaVu Sans Condensed"));
    tabFont.setPixelSize(9);
    c.SSTab1->tabBar()->setFont(tabFont);
    const QIcon tabPicture(programFolder + QStringLiteral("/tab.png"));
    const QPixmap helpPicture(programFolder + QStringLiteral("/help.png"));
    for (int k = 1; k <= 12; ++k) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page%1").arg(k));
        c.SSTab1->addTab(page, tabPicture, QStringLiteral("00:00"));

        auto* picker = new TimePicker(page);
        picker->setObjectName(QStringLiteral("DTPicker%1").arg(k));
        picker->setDateTime(pickerDesignValue());
        picker->setToolTip(QStringLiteral(" Aktuálny čas zobrazenia odkazu  "));
        picker->setAccessibleName(QStringLiteral("Čas odkazu %1").arg(k));
        c.DTPicker[k - 1] = picker;

        auto* image = new QLabel(page);
        image->setObjectName(QStringLiteral("Image%1").arg(k));
        image->setPixmap(helpPicture);
        image->setScaledContents(true);
        image->setToolTip(QStringLiteral(" Nápoveda "));
        image->setAccessibleName(QStringLiteral("Nápoveda"));
        image->setCursor(Qt::PointingHandCursor);
        c.Image[k - 1] = image;
    }
    // Controls on a tab are placed relative to the tab control, header included.
    c.SSTab1->ensurePolished();
    const int pageTop = c.SSTab1->tabBar()->sizeHint().height();
    for (int i = 0; i < 12; ++i) {
        c.DTPicker[i]->setGeometry(designRect(5640, 480, 1215, 375).translated(0, -pageTop));
        c.Image[i]->setGeometry(designRect(6000, 1320, 480, 480).translated(0, -pageTop));
    }

    c.RichTextBox1 = new RichTextBox(client);
    c.RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    c.RichTextBox1->setGeometry(designRect(120, 360, 5415, 2415));
    c.RichTextBox1->setAccessibleName(QStringLiteral("Text odkazu"));
    // New text is written at the size the size list starts with.
    QFont noteFont = c.RichTextBox1->font();
    noteFont.setPointSize(12);
    c.RichTextBox1->setFont(noteFont);

    c.RichTextBox13 = new RichTextBox(client);
    c.RichTextBox13->setObjectName(QStringLiteral("RichTextBox13"));
    c.RichTextBox13->setGeometry(designRect(5760, 2400, 855, 375));
    c.RichTextBox13->setReadOnly(true);
    c.RichTextBox13->setFrameShape(QFrame::NoFrame);
    c.RichTextBox13->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c.RichTextBox13->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c.RichTextBox13->setFocusPolicy(Qt::NoFocus);
    c.RichTextBox13->document()->setDocumentMargin(2);
    c.RichTextBox13->setStyleSheet(QStringLiteral("background: transparent;"));
    QFont clockFont = c.RichTextBox13->font();
    clockFont.setPixelSize(12);
    clockFont.setBold(true);
    c.RichTextBox13->setFont(clockFont);
    // The time stays on one line, however wide the font draws it: the box grows to the right into
    // the gap before the calendar rather than wrapping the seconds.
    c.RichTextBox13->setLineWrapMode(QTextEdit::NoWrap);
    {
        const int needed =
            QFontMetrics(clockFont).horizontalAdvance(DateText::timeText(QTime(20, 58, 58))) + 8;
        QRect clockRect = c.RichTextBox13->geometry();
        clockRect.setWidth(std::max(clockRect.width(), needed));
        c.RichTextBox13->setGeometry(clockRect);
    }
    c.RichTextBox13->setText(QStringLiteral("čas"));
    c.RichTextBox13->setToolTip(QStringLiteral(" Aktuálny čas "));
    c.RichTextBox13->setAccessibleName(QStringLiteral("Aktuálny čas"));

    const auto calendar = [client](const char* name, QRect place, const QString& accessibleName) {
        auto* view = new QCalendarWidget(client);
        view->setObjectName(QString::fromLatin1(name));
        view->setGeometry(place);
        view->setAccessibleName(accessibleName);
        view->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        view->setFirstDayOfWeek(QLocale().firstDayOfWeek());
        QFont font = view->font();
        font.setPixelSize(10);
        view->setFont(font);
        return view;
    };
    c.MonthView1 = calendar("MonthView1", designRect(6960, 480, 4980, 2310), QStringLiteral("Dátum odkazu"));
    c.MonthView2 = calendar("MonthView2", designRect(6960, 360, 5010, 2310), QStringLiteral("Kalendár"));
    c.MonthView2->hide();

    c.zabudnuté = new RichTextBox(client);
    c.zabudnuté->setObjectName(QStringLiteral("zabudnuté"));
    c.zabudnuté->setGeometry(designRect(120, 360, 6735, 2295));
    c.zabudnuté->setReadOnly(true);
    c.zabudnuté->setAccessibleName(QStringLiteral("Zabudnutý odkaz"));
    c.zabudnuté->hide();

    // The editor lies over the tab pages, beside the picker; the clock under the picker.
    c.RichTextBox1->raise();
    c.RichTextBox13->raise();
    c.MonthView1->raise();
    return c;
}
