// The toolbar's commands, the formatting state and the date entry of the main window.
#include "app/mainwindow.h"

#include "editor/dateentry.h"
#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/messageboxes.h"
#include "host/richtextbox.h"
#include "host/runtimeerror.h"
#include "tray/backgroundmode.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QPixmap>
#include <QTabWidget>
#include <QTextCharFormat>
#include <cmath>

namespace {
// A mixed selection becomes all bold (italic, underlined), as word processors do.
bool toggled(RichTextBox::Tri current) {
    return current != RichTextBox::Tri::True;
}
} // namespace

void MainWindow::Lišta1_ToolClick(const QString& id) {
    try {
        if (id == QLatin1String("ID_Bold")) {
            RichTextBox1->setSelBold(toggled(RichTextBox1->selBold()));
        } else if (id == QLatin1String("ID_Italic")) {
            RichTextBox1->setSelItalic(toggled(RichTextBox1->selItalic()));
        } else if (id == QLatin1String("ID_Underline")) {
            RichTextBox1->setSelUnderline(toggled(RichTextBox1->selUnderline()));
        } else if (id == QLatin1String("ID_Left")) {
            RichTextBox1->setSelAlignment(0);
        } else if (id == QLatin1String("ID_Center")) {
            RichTextBox1->setSelAlignment(2);
        } else if (id == QLatin1String("ID_Right")) {
            RichTextBox1->setSelAlignment(1);
        } else if (id == QLatin1String("ID_Black")) {
            colourAction(QStringLiteral("/CIERNA.BMP"), 0, id);
        } else if (id == QLatin1String("ID_Red")) {
            colourAction(QStringLiteral("/CERVENA.BMP"), 255, id);
        } else if (id == QLatin1String("ID_Blue")) {
            colourAction(QStringLiteral("/MODRA.BMP"), 16711680, id);
        } else if (id == QLatin1String("ID_Green")) {
            colourAction(QStringLiteral("/ZELENA.BMP"), 65280, id);
        } else if (id == QLatin1String("ID_AcceptChange")) {
            aktivácia();
        } else if (id == QLatin1String("ID_StopCurrentJump")) {
            deaktivácia();
        } else if (id.startsWith(QLatin1String("ID_New"))) {
            bool ok = false;
            const int k = id.mid(6).toInt(&ok);
            if (ok && k >= 1 && k <= 12)
                m_forgotten->showEntry(k);
        } else if (id == QLatin1String("ID_Tool1")) {
            m_forgotten->returnToEditor();
        }
    } catch (const RunTimeError& e) {
        showToolError(e.number, e.description);
    } catch (const std::exception& e) {
        showToolError(51, QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::showToolError(int number, const QString& description) {
    const QString crlf = QStringLiteral("\r\n");
    m_host.boxes->msgBox(
        QStringLiteral("Číslo chyby : %1").arg(number) + crlf + QStringLiteral("Charakteristika chyby : ") +
            description + crlf + crlf +
            QStringLiteral("Nenašiel sa súbor farieb ktorý program potrebuje pre svoju činnosť.") + crlf +
            QStringLiteral(" Možno ste ho náhodou vymazali. Ak problémy pretrvávajú, program "
                           "preinštalujte."),
        MessageBoxes::Critical, QStringLiteral("Chyba v programe Pripomin"));
}

void MainWindow::colourAction(const QString& file, quint32 colour, const QString& id) {
    const QString path = m_host.programFolder + file;
    if (!QFileInfo::exists(path))
        throw RunTimeError::fileNotFound(path);
    const QPixmap picture(path);
    if (picture.isNull())
        throw RunTimeError(481, QStringLiteral("Neplatný obrázok: ") + path);
    Lišta1->setToolPicture(id, picture);
    RichTextBox1->setSelColor(colour);
}

void MainWindow::RichTextBox1_Change() {
    if (const int k = currentSlot())
        m_store.slots[k].note = RichTextBox1->textRTF();
    if (const auto size = RichTextBox1->selFontSize())
        Lišta1->combo(QStringLiteral("ID_Size"))
            ->setEditText(QString::number(qRound64(std::nearbyint(*size))));
    if (const auto font = RichTextBox1->selFontName())
        Lišta1->combo(QStringLiteral("ID_Font"))->setEditText(*font);
    if (const auto alignment = RichTextBox1->selAlignment()) {
        if (*alignment == 0)
            Lišta1->setPressed(QStringLiteral("ID_Left"), true);
        else if (*alignment == 2)
            Lišta1->setPressed(QStringLiteral("ID_Center"), true);
        else if (*alignment == 1)
            Lišta1->setPressed(QStringLiteral("ID_Right"), true);
    }
}

void MainWindow::Lišta1_ComboClick(const QString& id) {
    if (id == QLatin1String("ID_Font")) {
        RichTextBox1->setSelFontName(Lišta1->combo(id)->currentText());
    } else if (id == QLatin1String("ID_Size")) {
        bool ok = false;
        const double points = Lišta1->combo(id)->currentText().trimmed().toDouble(&ok);
        // A size that is not a number of points is not applied.
        if (ok && points > 0 && points <= 1638)
            RichTextBox1->setSelFontSize(points);
    }
}

void MainWindow::MonthView1_SelChange() {
    const int k = currentSlot();
    if (!k)
        return;
    const DateTimeValue chosen = DateTimeValue::fromDate(MonthView1->selectedDate());
    m_store.slots[k].date = chosen;
    const QDateTime current = now();
    if (!(chosen < DateTimeValue::fromDate(current.date()))) {
        SSTab1->setTabText(k - 1, DateText::toText(chosen));
        m_watcher->slotChanged(k);
        return;
    }
    m_host.boxes->msgBox(
        DateEntry::pastDayWarning(chosen, pickerValue(k), DateTimeValue::fromDateTime(current)),
        MessageBoxes::Exclamation, QString::fromUtf8(DateEntry::kWarningTitle));
    m_store.slots[k].date = DateTimeValue();
    SSTab1->setTabText(k - 1, QStringLiteral("00:00:00"));
}

void MainWindow::MonthView1_GetDayBold() {
    // The calendar shows 42 days, starting with the week before the month's first day when the
    // month begins on the first day of the week.
    const QDate first(MonthView1->yearShown(), MonthView1->monthShown(), 1);
    int offset = (first.dayOfWeek() - int(MonthView1->firstDayOfWeek()) + 7) % 7;
    if (offset == 0)
        offset = 7;
    const QDate start = first.addDays(-offset);
    MonthView1->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int entry : DateEntry::boldDayEntries(42))
        MonthView1->setDateTextFormat(start.addDays(entry), bold);
}

void MainWindow::aktivácia() {
    if (m_background)
        m_background->aktivácia();
}

void MainWindow::deaktivácia() {
    if (m_background)
        m_background->deaktivácia();
}
