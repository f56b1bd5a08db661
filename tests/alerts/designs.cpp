// SPDX-License-Identifier: GPL-3.0-or-later
// The twelve alert windows as designed: names, sizes, places of their controls, framed or
// figure, and the outline each is cut to.
#include "alerts/alertdesign.h"
#include "alerts/alertoutline.h"
#include "alerts/alertwindow.h"
#include "alerts/alertwindows.h"
#include "host/richtextbox.h"
#include "support/fakes.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTest>

class Designs : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0); }

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("label1");
        QTest::addColumn<QPoint>("image1");
        QTest::addColumn<QRect>("hlasenie");
        QTest::addColumn<bool>("framed");
        const QRect frameLabel(16, 16, 273, 33), frameNote(16, 56, 313, 185);
        const QPoint frameOk(304, 16);
        const char* framedNames[] = {"Správa",  "Správa6",  "Správa7", "Správa8",
                                     "Správa9", "Správa10", "Správa11"};
        const int framedSlots[] = {1, 7, 8, 9, 10, 11, 12};
        for (int i = 0; i < 7; ++i)
            QTest::newRow(framedNames[i]) << framedSlots[i] << QString::fromUtf8(framedNames[i])
                                          << QSize(342, 257) << frameLabel << frameOk << frameNote << true;
        QTest::newRow("Správa1") << 2 << QString::fromUtf8("Správa1") << QSize(310, 444)
                                 << QRect(88, 152, 145, 41) << QPoint(256, 240) << QRect(64, 192, 177, 153)
                                 << false;
        QTest::newRow("Správa2") << 3 << QString::fromUtf8("Správa2") << QSize(258, 343)
                                 << QRect(56, 16, 185, 33) << QPoint(40, 280) << QRect(72, 56, 169, 241)
                                 << false;
        QTest::newRow("Správa3") << 4 << QString::fromUtf8("Správa3") << QSize(314, 388)
                                 << QRect(56, 72, 193, 33) << QPoint(280, 32) << QRect(64, 112, 185, 201)
                                 << false;
        QTest::newRow("Správa4") << 5 << QString::fromUtf8("Správa4") << QSize(443, 301)
                                 << QRect(144, 32, 161, 25) << QPoint(392, 144) << QRect(80, 64, 289, 169)
                                 << false;
        QTest::newRow("Správa5") << 6 << QString::fromUtf8("Správa5") << QSize(374, 370)
                                 << QRect(96, 56, 185, 33) << QPoint(296, 96) << QRect(88, 96, 193, 217)
                                 << false;
    }
    void controlsSitWhereDesigned() {
        QFETCH(int, slot);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QRect, label1);
        QFETCH(QPoint, image1);
        QFETCH(QRect, hlasenie);
        QFETCH(bool, framed);
        FakeHost host;
        AlertWindows owner(host.services());
        const AlertDesign* design = AlertDesigns::forSlot(slot);
        QVERIFY(design);
        QCOMPARE(design->slot, slot);
        AlertWindow window(*design, owner);

        QCOMPARE(window.objectName(), name);
        QCOMPARE(window.windowTitle(), QStringLiteral("Pripomin - odkaz"));
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.size(), size);
        auto* label = window.findChild<QLabel*>(QStringLiteral("Label1"));
        auto* ok = window.findChild<QLabel*>(QStringLiteral("Image1"));
        auto* note = window.findChild<RichTextBox*>(QString::fromUtf8("hlásenie"));
        QVERIFY(label && ok && note);
        QCOMPARE(label->geometry(), label1);
        QCOMPARE(ok->geometry(), QRect(image1, QSize(18, 18)));
        QCOMPARE(ok->toolTip(), QStringLiteral(" OK "));
        QVERIFY(!ok->pixmap().isNull()); // the generated OK picture is found in the program's folder
        QCOMPARE(note->geometry(), hlasenie);
        QVERIFY(note->isReadOnly());

        auto* line = window.findChild<QFrame*>(QStringLiteral("Line1"));
        QCOMPARE(design->framed, framed);
        QCOMPARE(line != nullptr, framed);
        if (framed) {
            QCOMPARE(line->geometry(), QRect(16, 48, 312, 1));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 192));
            QVERIFY(!design->storedPosition);
        } else {
            QVERIFY(design->storedPosition);
        }
    }

    void theLongestMessageLineFitsEveryLabel() {
        FakeHost host;
        host.clock.current = QDateTime(QDate(2024, 12, 30), QTime(23, 59, 59));
        AlertWindows alerts(host.services());
        for (int slot = 1; slot <= 12; ++slot) {
            alerts.open(slot, QStringLiteral("x"));
            AlertWindow* window = alerts.instance(slot);
            auto* label = window->findChild<QLabel*>(QStringLiteral("Label1"));
            auto* note = window->findChild<RichTextBox*>(QString::fromUtf8("hlásenie"));
            const QRect needed = QFontMetrics(label->font())
                                     .boundingRect(QRect(0, 0, label->width(), 100000),
                                                   int(label->alignment()) | Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= label->height(), window->design().name);
            QVERIFY2(label->font().pointSizeF() >= 6.0, window->design().name);
            // Growing, a label keeps its bottom edge (the clock's touches its note by one row by design).
            QVERIFY2(label->y() >= 0 && label->geometry().intersected(note->geometry()).height() <= 1,
                     window->design().name);
            QVERIFY2(window->mask().contains(label->geometry().topLeft()), window->design().name);
        }
    }

    void figureWindowsHaveTheirStoredPositions() {
        const std::pair<int, QPoint> expected[] = {
            {2, {5355, 2430}}, {3, {5745, 3180}}, {4, {5325, 2850}}, {5, {4350, 3495}}, {6, {4875, 2985}}};
        for (const auto& [slot, twips] : expected)
            QCOMPARE(*AlertDesigns::forSlot(slot)->storedPosition, twips);
    }

    void twoFramedWindowsBorrowAnotherOnesPicture() {
        using namespace AlertDesigns;
        QCOMPARE(QString(Správa8.picture), QString(Správa.picture));
        QCOMPARE(QString(Správa9.picture), QString(Správa10.picture));
        QStringList own;
        for (int slot : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12})
            own << forSlot(slot)->picture;
        own.removeDuplicates();
        QCOMPARE(own.size(), 10);
        for (const QString& picture : own)
            QVERIFY2(QFileInfo::exists(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/") + picture),
                     qPrintable(picture));
    }

    void slotsOutsideOneToTwelveHaveNoDesign() {
        QVERIFY(!AlertDesigns::forSlot(0));
        QVERIFY(!AlertDesigns::forSlot(13));
    }

    void picturesFillTheOutlinesToTheirEdges() {
        // The white around a figure must never show: every pixel on the edge of what the window
        // keeps carries the figure's own colour.
        for (int slot = 1; slot <= 12; ++slot) {
            const AlertDesign* design = AlertDesigns::forSlot(slot);
            const QImage picture(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/") + design->picture);
            QVERIFY2(!picture.isNull(), design->picture);
            const QRect window(QPoint(0, 0), QSize(Twips::toPixels(design->size.width(), 15.0),
                                                   Twips::toPixels(design->size.height(), 15.0)));
            const QRegion kept = AlertOutlines::vytvortvar(AlertOutlines::forSlot(slot), 1.0f, 1.0f, 0, 0, {})
                                     .intersected(window);
            QVERIFY2(picture.rect().contains(kept.boundingRect()), design->name);
            int edgePixels = 0;
            for (const QRect& band : kept) {
                for (int y = band.top(); y <= band.bottom(); ++y) {
                    for (int x = band.left(); x <= band.right(); ++x) {
                        const QPoint p(x, y);
                        const bool edge =
                            !kept.contains(p + QPoint(1, 0)) || !kept.contains(p - QPoint(1, 0)) ||
                            !kept.contains(p + QPoint(0, 1)) || !kept.contains(p - QPoint(0, 1));
                        if (!edge)
                            continue;
                        ++edgePixels;
                        QVERIFY2(picture.pixel(p) != qRgb(255, 255, 255),
                                 qPrintable(QStringLiteral("%1 at %2,%3").arg(design->name).arg(x).arg(y)));
                    }
                }
            }
            QVERIFY(edgePixels > 500);
        }
    }
};

QTEST_MAIN(Designs)
#include "designs.moc"
