// SPDX-License-Identifier: GPL-3.0-or-later
// The alert windows' backgrounds and their OK picture. Each figure is drawn inside the outline
// its window is cut to, so no pixel of the window shows anything but the picture; the places of
// the message line, the note box and the OK picture are kept light and calm.
#include "alerts/alertdesign.h"
#include "alerts/alertoutline.h"
#include "generator/artwork.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {
const QColor kWhite(0xff, 0xff, 0xff);
const QColor kPaper(0xfd, 0xfd, 0xf8);

QImage canvas(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(kWhite);
    return img;
}

bool save(const QImage& img, const QString& folder, const char* name) {
    // Qt writes RGB32 images as 24-bit bitmaps.
    return img.convertToFormat(QImage::Format_RGB888)
        .save(folder + QLatin1Char('/') + QLatin1String(name), "BMP");
}

QPainterPath pathOf(const OutlinePrimitive& primitive) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const auto& pts = primitive.points;
    if (primitive.kind == OutlinePrimitive::Kind::Polygon) {
        QPolygonF polygon;
        for (const DesignPoint& p : pts)
            polygon << QPointF(p.x, p.y);
        path.addPolygon(polygon);
        path.closeSubpath();
    } else {
        const QRectF box(QPointF(pts[0].x, pts[0].y), QPointF(pts[1].x, pts[1].y));
        if (primitive.kind == OutlinePrimitive::Kind::Ellipse)
            path.addEllipse(box);
        else
            path.addRect(box);
    }
    return path;
}

// The exact pixels the window keeps: filling them first leaves no gap at the cut edge.
QRegion outlineOf(int slot) {
    return AlertOutlines::vytvortvar(AlertOutlines::forSlot(slot), 1, 1, 0, 0, {});
}

QLinearGradient vertical(qreal top, qreal bottom, QColor a, QColor b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

// ---- The framed windows -------------------------------------------------------------------

// The part of the 345 x 260 picture the framed windows show: x 2..341, y 1..256.
const QRect kFrameArea(2, 1, 340, 256);

struct Band {
    int width;
    QColor colour;
    bool bevel = false; // lighter top and left, darker bottom and right
};

// Bands from the outside in, then the field. The controls begin 14 pixels inside the visible
// area, so the bands together stay within 11 pixels.
QImage framed(std::initializer_list<Band> bands, QColor field) {
    QImage img = canvas(345, 260);
    QPainter p(&img);
    QRect r = kFrameArea;
    for (const Band& band : bands) {
        p.fillRect(r, band.colour);
        if (band.bevel) {
            for (int i = 0; i < band.width; ++i) {
                const QRect edge = r.adjusted(i, i, -i, -i);
                const QColor light = band.colour.lighter(118);
                const QColor dark = band.colour.darker(122);
                p.setPen(i < band.width / 2 ? light : dark);
                p.drawLine(edge.topLeft(), edge.topRight());
                p.drawLine(edge.topLeft(), edge.bottomLeft());
                p.setPen(i < band.width / 2 ? dark : light);
                p.drawLine(edge.bottomLeft(), edge.bottomRight());
                p.drawLine(edge.topRight(), edge.bottomRight());
            }
        }
        r.adjust(band.width, band.width, -band.width, -band.width);
    }
    p.fillRect(r, field);
    return img;
}

// ---- The alarm clock ----------------------------------------------------------------------

QImage alarmClock() {
    QImage img = canvas(311, 469);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const AlertOutline clock = AlertOutlines::forSlot(2);
    const QPainterPath bells = pathOf(clock[0]);
    const QPainterPath body = pathOf(clock[1]);
    const QColor metal(0x4a, 0x4f, 0x57);
    const QColor red(0xd3, 0x2f, 0x2f);
    const QColor deepRed(0x9a, 0x1b, 0x1b);

    // Pixel-exact base: nothing of the outline stays white at its edge.
    p.setClipRegion(outlineOf(2));
    p.fillRect(img.rect(), metal);

    // The bells: red domes lit from the upper left; the handle between them stays metal.
    p.setClipPath(bells);
    QRadialGradient bellShine(QPointF(70, 95), 70);
    bellShine.setColorAt(0, red.lighter(150));
    bellShine.setColorAt(1, deepRed);
    p.fillRect(QRect(0, 60, 120, 90), bellShine);
    QRadialGradient rightShine(QPointF(230, 90), 70);
    rightShine.setColorAt(0, red.lighter(150));
    rightShine.setColorAt(1, deepRed);
    p.fillRect(QRect(170, 60, 130, 90), rightShine);
    QLinearGradient handle(0, 0, 0, 70);
    handle.setColorAt(0, QColor(0x8d, 0x94, 0x9e));
    handle.setColorAt(1, metal);
    p.fillRect(QRect(88, 0, 140, 70), handle);

    // The body: a red case round a white dial; the hammer stem and the feet stay metal.
    p.setClipPath(body);
    const QPointF centre(155, 254);
    QRadialGradient caseShade(centre - QPointF(50, 60), 200);
    caseShade.setColorAt(0, red.lighter(135));
    caseShade.setColorAt(0.7, red);
    caseShade.setColorAt(1, deepRed);
    p.setPen(Qt::NoPen);
    p.setBrush(caseShade);
    p.drawEllipse(centre, 156, 153);

    const qreal dial = 137;
    p.setBrush(QColor(0xb7, 0x1f, 0x1f));
    p.drawEllipse(centre, dial + 3, dial + 3);
    QRadialGradient face(centre, dial);
    face.setColorAt(0, kWhite);
    face.setColorAt(0.85, kWhite);
    face.setColorAt(1, QColor(0xe9, 0xe9, 0xe4));
    p.setBrush(face);
    p.drawEllipse(centre, dial, dial);

    // Hour marks round the rim of the dial, where no control lies over them.
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 3, Qt::SolidLine, Qt::RoundCap));
    for (int hour = 0; hour < 12; ++hour) {
        const qreal a = hour * std::numbers::pi / 6;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(centre + dir * (dial - 4), centre + dir * (dial - (hour % 3 == 0 ? 13 : 8)));
    }
    // A glint on the case.
    p.setPen(QPen(QColor(255, 255, 255, 120), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - 147, centre.y() - 144, 294, 288), 110 * 16, 50 * 16);
    return img;
}

// ---- The notepad sheet --------------------------------------------------------------------

QImage notepad() {
    QImage img = canvas(542, 558);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = pathOf(AlertOutlines::forSlot(3)[0]);
    const QColor shadow(0x3f, 0x6f, 0xc4);

    // The shadow is the whole outline; the sheet lies on it shifted up and to the right.
    p.setClipRegion(outlineOf(3));
    p.fillRect(img.rect(), shadow);
    p.setClipPath(outline);
    const QPainterPath sheet = outline.translated(9, -9).intersected(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(0, 340, kPaper, QColor(0xf3, 0xf1, 0xe6)));
    p.drawPath(sheet);

    p.setClipPath(sheet);
    // Ruled lines and the red margin.
    p.setPen(QPen(QColor(0xa8, 0xc4, 0xe8), 1));
    for (int y = 52; y < 330; y += 16)
        p.drawLine(QPointF(0, y + 0.5), QPointF(270, y + 0.5));
    p.setPen(QPen(QColor(0xe0, 0x6c, 0x6c), 1.5));
    p.drawLine(QPointF(64, 0), QPointF(64, 340));

    // Punched holes along the left edge: the shadow shows through them.
    p.setClipping(false);
    for (int y = 72; y <= 264; y += 48) {
        p.setPen(QPen(QColor(0xb9, 0xb6, 0xa8), 1));
        p.setBrush(shadow.darker(115));
        p.drawEllipse(QPointF(30, y), 7, 7);
    }
    return img;
}

// ---- The postage stamp --------------------------------------------------------------------

QImage postageStamp() {
    QImage img = canvas(316, 389);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = pathOf(AlertOutlines::forSlot(4)[0]);
    const QColor stamp(0x9c, 0xd0, 0xf0);
    const QColor ink(0x2f, 0x6f, 0xa8);

    p.setClipRegion(outlineOf(4));
    p.fillRect(img.rect(), stamp);
    p.setClipPath(outline);
    p.fillRect(img.rect(), vertical(0, 389, stamp.lighter(108), stamp));
    // The wavy edge drawn a little darker, so it reads as the perforation.
    p.setPen(QPen(ink, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);

    // The picture field of the stamp, where the message and the note sit.
    const QRectF field(44, 58, 230, 292);
    p.setPen(QPen(ink, 2));
    p.setBrush(vertical(field.top(), field.bottom(), kWhite, QColor(0xee, 0xf6, 0xfc)));
    p.drawRect(field);
    p.setPen(QPen(ink.lighter(140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(field.adjusted(-5, -5, 5, 5));

    // The value box in the upper right corner holds the OK picture.
    p.setPen(QPen(ink, 1.5));
    p.setBrush(kWhite);
    p.drawRoundedRect(QRectF(275, 27, 28, 28), 3, 3);
    // A wavy postmark over the lower left corner of the field.
    p.setPen(QPen(QColor(0x55, 0x5f, 0x70, 150), 1.6));
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const qreal y0 = 335 + i * 7;
        wave.moveTo(24, y0);
        for (qreal x = 24; x <= 120; x += 2)
            wave.lineTo(x, y0 + 3 * std::sin((x - 24) / 8));
        p.drawPath(wave);
    }
    return img;
}

// ---- The oval and the circle --------------------------------------------------------------

QImage oval() {
    QImage img = canvas(446, 302);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRegion(outlineOf(5));
    p.fillRect(img.rect(), Qt::black);
    const QRectF box(1, -1, 442, 302);
    // White inside, like the message line's own background; a fine double line follows the rim.
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(box.adjusted(7, 7, -7, -7));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.2));
    p.drawEllipse(box.adjusted(11, 11, -11, -11));
    p.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0.8));
    p.drawEllipse(box.adjusted(14, 14, -14, -14));
    return img;
}

QImage circle() {
    QImage img = canvas(374, 373);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRegion(outlineOf(6));
    const QRectF box(2, 0, 372, 370);
    QRadialGradient rim(box.center() - QPointF(40, 50), 260);
    rim.setColorAt(0, QColor(0xd4, 0xd7, 0xdb));
    rim.setColorAt(1, QColor(0x7b, 0x80, 0x88));
    p.fillRect(img.rect(), rim);
    p.setPen(QPen(QColor(0x5c, 0x60, 0x66), 1));
    p.setBrush(kWhite);
    p.drawEllipse(box.adjusted(11, 11, -11, -11));

    // The inner square frame; its rounded corners meet the rim.
    const QPointF c = box.center();
    const QRectF square(c.x() - 131, c.y() - 132, 262, 262);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x6d, 0x72, 0x7a), 3));
    p.drawRoundedRect(square, 24, 24);
    p.setPen(QPen(QColor(0xb0, 0xb4, 0xba), 1));
    p.drawRoundedRect(square.adjusted(5, 5, -5, -5), 20, 20);
    return img;
}

// ---- The OK picture -----------------------------------------------------------------------

QImage okPicture() {
    QImage img = canvas(18, 18);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(0x2e, 0x9d, 0x4f);
    p.fillRect(img.rect(), vertical(0, 18, green.lighter(135), green.darker(110)));
    p.setPen(QPen(green.darker(160), 1));
    p.drawRect(QRectF(0.5, 0.5, 17, 17));
    p.setPen(QPen(kWhite, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{4.5, 9.5}, {7.8, 12.8}, {13.5, 5.5}});
    return img;
}

bool writeAlertPictures(const QString& folder) {
    const QColor darkGrey(0x4b, 0x4f, 0x54);
    const QColor lightBlue(0x8f, 0xc8, 0xef);
    bool ok = true;
    ok &= save(framed({{1, QColor(0x6b, 0x6b, 0x6b)},
                       {8, QColor(0xb4, 0xb6, 0xb9), true},
                       {1, QColor(0x80, 0x80, 0x80)}},
                      kWhite),
               folder, "Sprava.bmp");
    ok &= save(alarmClock(), folder, "Sprava1.bmp");
    ok &= save(notepad(), folder, "Sprava2.bmp");
    ok &= save(postageStamp(), folder, "Sprava3.bmp");
    ok &= save(oval(), folder, "Sprava4.bmp");
    ok &= save(circle(), folder, "Sprava5.bmp");
    ok &= save(framed({{5, darkGrey, true}, {5, QColor(0xf5, 0xc8, 0x2a), true}}, kWhite), folder,
               "Sprava6.bmp");
    ok &= save(framed({{5, darkGrey, true}, {5, QColor(0x3f, 0xa6, 0x4b), true}}, kWhite), folder,
               "Sprava7.bmp");
    ok &= save(framed({{2, QColor(0x8e, 0x1c, 0x1c)}, {7, QColor(0xd3, 0x2f, 0x2f), true}},
                      QColor(0xdc, 0xdd, 0xdf)),
               folder, "Sprava10.bmp");
    ok &= save(framed({{3, lightBlue}, {3, kWhite}, {3, lightBlue}}, kWhite), folder, "Sprava11.bmp");
    ok &= save(okPicture(), folder, AlertDesigns::kOkPicture);
    return ok;
}

const ArtworkRegistration registration{QStringLiteral("alert window pictures"), writeAlertPictures};
} // namespace
