// The main window's procedures that read and write the slots.
#include "app/mainwindow.h"

#include "host/messageboxes.h"
#include "host/paths.h"
#include "slots/notefiles.h"
#include "slots/settingsfile.h"

#include <QDateTimeEdit>

void MainWindow::uložnastavenia() {
    for (int k = 1; k <= kSlotCount; ++k)
        sampleSlotTime(k);
    m_settingsSaveFailed = !SettingsFile::save(slots);
}

void MainWindow::saveWithoutWindows() {
    if (m_unloaded || m_loading)
        return;
    m_unloaded = true;
    SettingsFile::save(slots);
    NoteFiles::save(slots, Paths::dataDir());
    SettingsFile::save(slots);
}

void MainWindow::načítajnastavenia() {
    if (SettingsFile::load(slots))
        zobraztermíny();
}

void MainWindow::načítajtexty() {
    NoteFiles::load(slots, Paths::dataDir());
}

void MainWindow::uložtexty() {
    QStringList failed = NoteFiles::save(slots, Paths::dataDir());
    uložnastavenia();
    if (m_settingsSaveFailed)
        failed.prepend(QString::fromLatin1(SettingsFile::kName));
    if (failed.isEmpty())
        return;
    // A reminder that silently failed to reach the disk would be lost at the next start.
    m_host.boxes->msgBox(QStringLiteral("Tieto súbory sa nepodarilo uložiť do priečinka %1:\r\n%2\r\n\r\n"
                                        "Odkazy v nich zostali len v pamäti programu.")
                             .arg(Paths::dataDir(), failed.join(QStringLiteral(", "))),
                         MessageBoxes::Critical, QStringLiteral("Chyba v programe Pripomin"));
}
