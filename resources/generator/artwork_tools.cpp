// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the toolbar's tools, the tabs and the help icons, the colour bitmaps.
// One style throughout: rounded tiles with a soft vertical gradient and dark glyphs.
#include "generator/artwork.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kInk(0x2b, 0x3a, 0x4a);

QImage canvas(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void tile(QPainter& p, int size, QColor top, QColor bottom) {
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(140), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
}

QImage letter(const QString& text, bool bold, bool italic, bool underline) {
    QImage img = canvas(20);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    tile(p, 20, QColor(0xfb, 0xfc, 0xfe), QColor(0xd9, 0xe2, 0xee));
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(14);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRect(0, 0, 20, 19), Qt::AlignCenter, text);
    return img;
}

// Four text lines: widths and the side they keep to.
QImage alignment(Qt::Alignment side) {
    QImage img = canvas(20);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, 20, QColor(0xfb, 0xfc, 0xfe), QColor(0xd9, 0xe2, 0xee));
    const int widths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        int x = 4;
        if (side == Qt::AlignHCenter)
            x = (20 - w) / 2;
        else if (side == Qt::AlignRight)
            x = 16 - w;
        p.fillRect(QRect(x, 4 + i * 3, w, 2), kInk);
    }
    return img;
}

QImage swatch(QColor colour) {
    QImage img = canvas(20);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, 20, QColor(0xfb, 0xfc, 0xfe), QColor(0xd9, 0xe2, 0xee));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRect(0, 0, 20, 14), Qt::AlignCenter, QStringLiteral("A"));
    p.fillRect(QRect(3, 14, 14, 4), colour);
    return img;
}

// Power symbol: green to switch the watcher into the background, red to stop it.
QImage power(QColor colour) {
    QImage img = canvas(20);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, 20, colour.lighter(150), colour);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(4.5, 5, 11, 11), 120 * 16, 300 * 16);
    p.drawLine(QPointF(10, 3.5), QPointF(10, 10));
    return img;
}

QImage okButton() {
    QImage img = canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, 32, QColor(0x9f, 0xd8, 0x8f), QColor(0x3c, 0x8d, 0x2f));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(8, 17);
    tick.lineTo(14, 23);
    tick.lineTo(24, 10);
    p.drawPath(tick);
    return img;
}

// A folded note with a red pin: one forgotten reminder.
QImage forgottenNote() {
    QImage img = canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(5, 4);
    sheet.lineTo(22, 4);
    sheet.lineTo(28, 10);
    sheet.lineTo(28, 29);
    sheet.lineTo(5, 29);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0xb0, 0x8d, 0x2c), 1));
    QLinearGradient g(0, 4, 0, 29);
    g.setColorAt(0, QColor(0xff, 0xf6, 0xb8));
    g.setColorAt(1, QColor(0xf6, 0xdc, 0x6a));
    p.setBrush(g);
    p.drawPath(sheet);
    p.setBrush(QColor(0xe8, 0xc8, 0x50));
    p.drawPolygon(QPolygonF({QPointF(22, 4), QPointF(22, 10), QPointF(28, 10)}));
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x1f), 1.2));
    for (int y = 14; y <= 25; y += 4)
        p.drawLine(QPointF(9, y), QPointF(24, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd2, 0x2b, 0x2b));
    p.drawEllipse(QPointF(11, 7), 3, 3);
    return img;
}

QImage help() {
    QImage img = canvas(32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(12, 10), 20);
    g.setColorAt(0, QColor(0x8c, 0xc4, 0xff));
    g.setColorAt(1, QColor(0x1f, 0x5f, 0xb4));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x17, 0x46, 0x85), 1));
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 31), Qt::AlignCenter, QStringLiteral("?"));
    return img;
}

// The tab picture: a small clock face.
QImage tabClock() {
    QImage img = canvas(16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xff, 0xfb, 0xe6));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return img;
}

bool savePng(const QImage& img, const QString& folder, const QString& name) {
    return img.save(folder + QLatin1Char('/') + name, "PNG");
}

// The colour bitmaps the colour tools show after a click: 24-bit BMP, as the program expects.
bool saveColourBitmap(QColor colour, const QString& folder, const QString& name) {
    return swatch(colour)
        .convertToFormat(QImage::Format_RGB888)
        .save(folder + QLatin1Char('/') + name, "BMP");
}

const ArtworkRegistration toolPictures{
    QStringLiteral("tool pictures"), [](const QString& folder) {
        bool ok = true;
        ok &= savePng(power(QColor(0x2f, 0x9e, 0x44)), folder, "tool_ID_AcceptChange.png");
        ok &= savePng(power(QColor(0xc2, 0x39, 0x2b)), folder, "tool_ID_StopCurrentJump.png");
        ok &= savePng(alignment(Qt::AlignLeft), folder, "tool_ID_Left.png");
        ok &= savePng(alignment(Qt::AlignHCenter), folder, "tool_ID_Center.png");
        ok &= savePng(alignment(Qt::AlignRight), folder, "tool_ID_Right.png");
        ok &= savePng(letter("B", true, false, false), folder, "tool_ID_Bold.png");
        ok &= savePng(letter("I", false, true, false), folder, "tool_ID_Italic.png");
        ok &= savePng(letter("U", false, false, true), folder, "tool_ID_Underline.png");
        ok &= savePng(swatch(QColor(0, 0, 0)), folder, "tool_ID_Black.png");
        ok &= savePng(swatch(QColor(0, 160, 0)), folder, "tool_ID_Green.png");
        ok &= savePng(swatch(QColor(220, 0, 0)), folder, "tool_ID_Red.png");
        ok &= savePng(swatch(QColor(0, 0, 220)), folder, "tool_ID_Blue.png");
        ok &= savePng(okButton(), folder, "tool_ID_Tool1.png");
        ok &= savePng(forgottenNote(), folder, "tool_ID_New.png");
        ok &= savePng(help(), folder, "help.png");
        ok &= savePng(tabClock(), folder, "tab.png");
        return ok;
    }};

const ArtworkRegistration colourBitmaps{QStringLiteral("colour bitmaps"), [](const QString& folder) {
                                            bool ok = true;
                                            ok &= saveColourBitmap(QColor(0, 0, 0), folder, "CIERNA.BMP");
                                            ok &= saveColourBitmap(QColor(255, 0, 0), folder, "CERVENA.BMP");
                                            ok &= saveColourBitmap(QColor(0, 0, 255), folder, "MODRA.BMP");
                                            ok &= saveColourBitmap(QColor(0, 255, 0), folder, "ZELENA.BMP");
                                            return ok;
                                        }};
} // namespace
