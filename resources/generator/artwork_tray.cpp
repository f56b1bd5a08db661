// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon's two flashing pictures and the application icon: a small alarm clock, quiet and
// ringing, and a note sheet with the clock for the desktop's menu.
#include "generator/artwork.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {
// An alarm clock filling `box` (square), drawn in design units of 32.
void drawClock(QPainter& p, const QRectF& box, bool ringing) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 32.0, box.height() / 32.0);
    p.setRenderHint(QPainter::Antialiasing);

    const QColor rim = ringing ? QColor(200, 30, 30) : QColor(30, 70, 160);
    const QColor face = ringing ? QColor(255, 236, 110) : QColor(250, 250, 245);
    const QColor bell = ringing ? QColor(255, 190, 0) : QColor(190, 190, 200);

    // Bells, tilted outwards when ringing.
    for (int side : {-1, 1}) {
        p.save();
        p.translate(16 + side * 9, 7);
        p.rotate(side * (ringing ? 40 : 25));
        p.setPen(QPen(QColor(60, 40, 20), 1));
        p.setBrush(bell);
        p.drawChord(QRectF(-5, -4, 10, 9), 0, 180 * 16);
        p.restore();
    }
    // Feet.
    p.setPen(QPen(QColor(50, 50, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 27), QPointF(6.5, 30.5));
    p.drawLine(QPointF(23, 27), QPointF(25.5, 30.5));
    // Body and face.
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(rim);
    p.drawEllipse(QPointF(16, 18), 12, 12);
    p.setBrush(face);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 18), 9, 9);
    // Hour marks.
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    for (int hour = 0; hour < 12; hour += 3) {
        const double a = qDegreesToRadians(hour * 30.0);
        p.drawLine(QPointF(16 + 7 * qSin(a), 18 - 7 * qCos(a)),
                   QPointF(16 + 8.5 * qSin(a), 18 - 8.5 * qCos(a)));
    }
    // Hands at ten past ten.
    p.setPen(QPen(QColor(20, 20, 60), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 18), QPointF(11.5, 15));
    p.drawLine(QPointF(16, 18), QPointF(21.5, 12.5));
    p.setBrush(QColor(20, 20, 60));
    p.drawEllipse(QPointF(16, 18), 1.2, 1.2);
    if (ringing) {
        // Sound strokes beside the bells.
        p.setPen(QPen(QColor(200, 30, 30), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-2, -1, 8, 8), 100 * 16, 70 * 16);
        p.drawArc(QRectF(26, -1, 8, 8), 10 * 16, 70 * 16);
        p.drawLine(QPointF(1.5, 9), QPointF(0, 11));
        p.drawLine(QPointF(30.5, 9), QPointF(32, 11));
    }
    p.restore();
}

bool writeClock(const QString& folder, const char* name, bool ringing) {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawClock(p, QRectF(0, 0, 32, 32), ringing);
    p.end();
    return image.save(folder + QLatin1Char('/') + QLatin1String(name));
}

bool writeApplicationIcon(const QString& folder) {
    const int size = 256;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A note sheet with a folded corner.
    QPainterPath sheet;
    sheet.moveTo(28, 16);
    sheet.lineTo(170, 16);
    sheet.lineTo(212, 58);
    sheet.lineTo(212, 232);
    sheet.lineTo(28, 232);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(150, 120, 40), 4));
    QLinearGradient paper(0, 16, 0, 232);
    paper.setColorAt(0, QColor(255, 246, 170));
    paper.setColorAt(1, QColor(250, 226, 120));
    p.setBrush(paper);
    p.drawPath(sheet);
    p.setBrush(QColor(230, 200, 100));
    p.drawPolygon(QPolygonF({QPointF(170, 16), QPointF(170, 58), QPointF(212, 58)}));
    p.setPen(QPen(QColor(120, 140, 190), 6, Qt::SolidLine, Qt::RoundCap));
    for (int y = 80; y <= 200; y += 30)
        p.drawLine(QPointF(52, y), QPointF(y < 140 ? 188 : 110, y));
    drawClock(p, QRectF(110, 104, 146, 146), true);
    p.end();
    return image.save(folder + QStringLiteral("/pripomin.png"));
}

const ArtworkRegistration flash1{QStringLiteral("Flash1.png"), [](const QString& folder) {
                                     return writeClock(folder, "Flash1.png", false);
                                 }};
const ArtworkRegistration flash2{QStringLiteral("Flash2.png"), [](const QString& folder) {
                                     return writeClock(folder, "Flash2.png", true);
                                 }};
const ArtworkRegistration applicationIcon{QStringLiteral("pripomin.png"), writeApplicationIcon};
} // namespace
