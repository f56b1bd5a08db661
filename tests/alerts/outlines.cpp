// SPDX-License-Identifier: GPL-3.0-or-later
// The alert outlines as regions: the conversion to device pixels and the points that must fall
// inside or outside each window's outline at 96 and 120 dots per inch and scaled and shifted.
#include "alerts/alertoutline.h"

#include <QTest>

namespace {
constexpr Twips::PerPixel k96dpi{15.0, 15.0};
constexpr Twips::PerPixel k120dpi{12.0, 12.0};

QRegion outline(int slot, Twips::PerPixel screen, float scale = 1.0f, std::int16_t offset = 0) {
    return AlertOutlines::vytvortvar(AlertOutlines::forSlot(slot), scale, scale, offset, offset, screen);
}
} // namespace

class Outlines : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void conversionRoundsHalvesToEven_data() {
        QTest::addColumn<int>("design");
        QTest::addColumn<float>("scale");
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("device");
        QTest::newRow("96 dpi keeps design pixels") << 342 << 1.0f << 15.0 << 0 << 342;
        QTest::newRow("120 dpi 2.5 goes down to 2") << 2 << 1.0f << 12.0 << 0 << 2;
        QTest::newRow("120 dpi 7.5 goes up to 8") << 6 << 1.0f << 12.0 << 0 << 8;
        QTest::newRow("120 dpi 427.5 goes up to 428") << 342 << 1.0f << 12.0 << 0 << 428;
        QTest::newRow("120 dpi 12.5 goes down to 12") << 10 << 1.0f << 12.0 << 0 << 12;
        QTest::newRow("120 dpi 323.75 rounds to 324") << 259 << 1.0f << 12.0 << 0 << 324;
        QTest::newRow("120 dpi negative -1.25") << -1 << 1.0f << 12.0 << 0 << -1;
        QTest::newRow("scale 2 and offset 10") << 342 << 2.0f << 15.0 << 10 << 694;
        QTest::newRow("negative offset") << 1 << 1.0f << 15.0 << -10 << -9;
        QTest::newRow("144 dpi") << 3 << 1.0f << 10.0 << 0 << 4; // 4.5 to even
    }
    void conversionRoundsHalvesToEven() {
        QFETCH(int, design);
        QFETCH(float, scale);
        QFETCH(double, twipsPerPixel);
        QFETCH(int, offset);
        QFETCH(int, device);
        QCOMPARE(
            AlertOutlines::deviceCoordinate(std::int16_t(design), scale, twipsPerPixel, std::int16_t(offset)),
            device);
    }

    void framedWindowsShareTheRectangleWithOpenRightAndBottomEdges() {
        for (int slot : {1, 7, 8, 9, 10, 11, 12})
            QCOMPARE(outline(slot, k96dpi), QRegion(QRect(QPoint(2, 1), QPoint(341, 258))));
        const QRegion r120 = outline(1, k120dpi);
        QCOMPARE(r120, QRegion(QRect(QPoint(2, 1), QPoint(427, 323))));
        QVERIFY(!r120.contains(QPoint(428, 100)));
        QVERIFY(!r120.contains(QPoint(100, 324)));
        const QRegion scaled = outline(1, k96dpi, 2.0f, 10);
        QCOMPARE(scaled, QRegion(QRect(QPoint(14, 12), QPoint(693, 527))));
    }

    void pointsInsideAndOutside_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        // At 96 dpi in design pixels.
        QTest::newRow("frame top-left corner") << 1 << QPoint(2, 1) << true;
        QTest::newRow("frame left columns cut") << 1 << QPoint(1, 100) << false;
        QTest::newRow("frame top row cut") << 7 << QPoint(100, 0) << false;
        QTest::newRow("frame right edge") << 12 << QPoint(342, 100) << false;
        QTest::newRow("frame bottom edge") << 12 << QPoint(100, 259) << false;
        QTest::newRow("clock handle, polygon A") << 2 << QPoint(150, 5) << true;
        QTest::newRow("clock foot, polygon B") << 2 << QPoint(70, 435) << true;
        QTest::newRow("clock face, polygon B") << 2 << QPoint(155, 250) << true;
        QTest::newRow("left of the left bell") << 2 << QPoint(10, 60) << false;
        QTest::newRow("between the feet") << 2 << QPoint(155, 440) << true;
        QTest::newRow("right of the right foot") << 2 << QPoint(280, 430) << false;
        QTest::newRow("clock handle hollow") << 2 << QPoint(150, 40) << false;
        QTest::newRow("notepad middle") << 3 << QPoint(120, 170) << true;
        QTest::newRow("notepad above its left corner") << 3 << QPoint(5, 5) << false;
        QTest::newRow("notepad beyond its right edge") << 3 << QPoint(300, 100) << false;
        QTest::newRow("notepad below its curled bottom") << 3 << QPoint(240, 335) << false;
        QTest::newRow("stamp middle") << 4 << QPoint(150, 200) << true;
        QTest::newRow("stamp corner outside") << 4 << QPoint(2, 2) << false;
        QTest::newRow("stamp wave dip at the top") << 4 << QPoint(62, 12) << false;
        QTest::newRow("stamp beyond its right edge") << 4 << QPoint(313, 380) << false;
        QTest::newRow("oval centre") << 5 << QPoint(222, 150) << true;
        QTest::newRow("oval top reaches the window's first row") << 5 << QPoint(222, 0) << true;
        QTest::newRow("oval corner") << 5 << QPoint(10, 10) << false;
        QTest::newRow("oval beyond its bottom") << 5 << QPoint(222, 301) << false;
        QTest::newRow("circle centre") << 6 << QPoint(188, 185) << true;
        QTest::newRow("circle corner") << 6 << QPoint(10, 360) << false;
        QTest::newRow("circle left of its left edge") << 6 << QPoint(1, 185) << false;
    }
    void pointsInsideAndOutside() {
        QFETCH(int, slot);
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        QCOMPARE(outline(slot, k96dpi).contains(point), inside);
        // The same design point at 120 dpi (x 1.25, rounded), and scaled 2 with offset 10.
        const QPoint at120(AlertOutlines::deviceCoordinate(std::int16_t(point.x()), 1.0f, 12.0, 0),
                           AlertOutlines::deviceCoordinate(std::int16_t(point.y()), 1.0f, 12.0, 0));
        QCOMPARE(outline(slot, k120dpi).contains(at120), inside);
        QCOMPARE(outline(slot, k96dpi, 2.0f, 10).contains(point * 2 + QPoint(10, 10)), inside);
    }

    void figureOutlinesHoldTheirPointLists() {
        struct Expected {
            int slot;
            std::vector<std::size_t> sizes;
            DesignPoint first, last;
        };
        const Expected expected[] = {
            {2, {57, 83}, {27, 138}, {162, 41}}, {3, {32}, {258, 3}, {258, 9}}, {4, {145}, {6, 6}, {8, 9}}};
        for (const Expected& e : expected) {
            const AlertOutline o = AlertOutlines::forSlot(e.slot);
            QCOMPARE(o.size(), e.sizes.size());
            for (std::size_t i = 0; i < o.size(); ++i) {
                QCOMPARE(o[i].kind, OutlinePrimitive::Kind::Polygon);
                QCOMPARE(o[i].points.size(), e.sizes[i]);
            }
            QCOMPARE(o.front().points.front().x, e.first.x);
            QCOMPARE(o.front().points.front().y, e.first.y);
            QCOMPARE(o.back().points.back().x, e.last.x);
            QCOMPARE(o.back().points.back().y, e.last.y);
        }
    }

    void clockIsTheUnionOfBothPolygons() {
        const AlertOutline clock = AlertOutlines::forSlot(2);
        const QRegion bells = AlertOutlines::vytvortvar(clock.first(1), 1.0f, 1.0f, 0, 0, k96dpi);
        const QRegion body = AlertOutlines::vytvortvar(clock.last(1), 1.0f, 1.0f, 0, 0, k96dpi);
        QVERIFY(bells.contains(QPoint(150, 5)) && !body.contains(QPoint(150, 5)));
        QVERIFY(body.contains(QPoint(70, 435)) && !bells.contains(QPoint(70, 435)));
        QCOMPARE(outline(2, k96dpi), bells.united(body));
    }
};

QTEST_GUILESS_MAIN(Outlines)
#include "outlines.moc"
