// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/displayconnection.h"

#include <QIcon>
#include <QTest>

class DisplayConnectionTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Only when the desktop names no icon theme do the lookups stop at Qt's resources.
    void iconLookups() {
        const QStringList paths{QStringLiteral("/usr/share/icons"), QStringLiteral(":/icons")};
        const QString base = QStringLiteral("hicolor"), other = QStringLiteral("Adwaita");
        for (const auto& [theme, fallback, limited] :
             {std::tuple{base, base, true}, {other, base, false}, {base, other, false}}) {
            QIcon::setThemeSearchPaths(paths);
            QIcon::setThemeName(theme);
            QIcon::setFallbackThemeName(fallback);
            DisplayConnection::limitIconLookups();
            QCOMPARE(QIcon::themeSearchPaths(), limited ? QStringList{QStringLiteral(":/icons")} : paths);
        }
    }
};

QTEST_MAIN(DisplayConnectionTest)
#include "displayconnection.moc"
