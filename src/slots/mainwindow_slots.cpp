// The main window's procedures that read and write the slots.
#include "app/mainwindow.h"

#include "host/messageboxes.h"
#include "host/paths.h"
#include "host/richtextbox.h"
#include "slots/notefiles.h"
#include "slots/settingsfile.h"

#include <QDateTimeEdit>
#include <QTabWidget>
#include <QDir>

void MainWindow::uložnastavenia() {
    for (int k = 1; k <= kSlotCount; ++k)
        sampleSlotTime(k);
    m_settingsSaveFailed = !m_store.saveSettings();
}

void MainWindow::emptySlot(int k) {
    setPickerValue(k, DateTimeValue());
    if (currentSlot() == k)
        RichTextBox1->setTextRTF(QStringLiteral(" "));
    m_store.slots[k].note = QStringLiteral(" "); // after the editor, whose change would store its own blank
    SSTab1->setTabText(k - 1, QStringLiteral("00:00:00"));
}

void MainWindow::saveWithoutWindows() {
    if (m_unloaded || m_loading)
        return;
    m_unloaded = true;
    m_store.saveSettings();
    m_store.save();
}

void MainWindow::načítajnastavenia() {
    if (m_store.loadSettings())
        zobraztermíny();
}

void MainWindow::načítajtexty() {
    m_store.loadNotes();
}

QStringList MainWindow::saveSlots() {
    for (int k = 1; k <= kSlotCount; ++k)
        sampleSlotTime(k);
    const QStringList failed = m_store.save();
    m_settingsSaveFailed = failed.contains(m_store.settingsPath());
    return failed;
}

QString MainWindow::saveFailureText(const QStringList& failed) {
    return QStringLiteral("Tieto súbory sa nepodarilo uložiť:\r\n") + failed.join(QStringLiteral("\r\n"));
}

void MainWindow::uložtexty() {
    const QStringList failed = saveSlots();
    if (failed.isEmpty())
        return;
    // A reminder that silently failed to reach the disk would be lost at the next start.
    m_host.boxes->msgBox(saveFailureText(failed) +
                             QStringLiteral("\r\n\r\nOdkazy v nich zostali len v pamäti programu."),
                         MessageBoxes::Critical, QStringLiteral("Chyba v programe Pripomin"));
}

bool MainWindow::endDespiteFailedSave(const QStringList& failed) {
    if (m_terminating) {
        // Nobody is there to answer: the session is ending or the program was told to stop.
        qWarning("Pripomin: not saved: %s", qPrintable(failed.join(QStringLiteral(", "))));
        return true;
    }
    return m_host.boxes->msgBox(saveFailureText(failed) +
                                    QStringLiteral("\r\n\r\nUkončiť program aj tak? Zmeny v týchto "
                                                   "súboroch sa stratia."),
                                MessageBoxes::Critical + MessageBoxes::YesNo,
                                QStringLiteral("Chyba v programe Pripomin")) == MessageBoxes::Yes;
}
