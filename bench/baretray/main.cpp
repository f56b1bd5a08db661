// SPDX-License-Identifier: GPL-3.0-or-later
// The least any Qt tray program costs: a hidden Qt Widgets program whose tray icon flashes every
// 3 s between two pictures and carries a four-item menu. bench/measure.sh runs it beside Pripomin.
//   bench_baretray [picture-folder]   the folder holding Flash1.png and Flash2.png
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QApplication::applicationDirPath();
    const QIcon pictures[] = {QIcon(folder + QStringLiteral("/Flash1.png")),
                              QIcon(folder + QStringLiteral("/Flash2.png"))};
    QMenu menu;
    for (const char* text : {"Menu", "Ukonči program", "Zamkni počítač", "Vypni počítač"})
        menu.addAction(QString::fromUtf8(text));
    QSystemTrayIcon icon(pictures[0]);
    icon.setContextMenu(&menu);
    icon.setToolTip(QStringLiteral("bench_baretray"));
    icon.show();
    int shown = 0;
    QTimer flash;
    QObject::connect(&flash, &QTimer::timeout, [&] { icon.setIcon(pictures[shown ^= 1]); });
    flash.start(3000);
    return QApplication::exec();
}
