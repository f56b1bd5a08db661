// SPDX-License-Identifier: GPL-3.0-or-later
// The lock window's picture: a calm dusk over mountains and a lake, 1024 × 768. The top stays
// dark so the white text of the lock window reads well over it.
#include "generator/artwork.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtMath>
#include <vector>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kHorizon = 500;

// A ridge line: a few octaves of smoothly interpolated random heights, the same on every build.
std::vector<double> ridge(quint32 seed, double base, double amplitude, int octaves) {
    QRandomGenerator random(seed);
    std::vector<double> heights(kWidth + 1, base);
    double scale = amplitude;
    int step = 256;
    for (int octave = 0; octave < octaves; ++octave, scale *= 0.5, step = qMax(2, step / 2)) {
        std::vector<double> knots(kWidth / step + 2);
        for (double& knot : knots)
            knot = random.generateDouble() * 2 - 1;
        for (int x = 0; x <= kWidth; ++x) {
            const int i = x / step;
            const double t = double(x % step) / step;
            const double smooth = t * t * (3 - 2 * t);
            heights[x] -= scale * (knots[i] * (1 - smooth) + knots[i + 1] * smooth);
        }
    }
    return heights;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void drawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0.0, QColor(8, 14, 38));
    sky.setColorAt(0.35, QColor(32, 36, 84));
    sky.setColorAt(0.65, QColor(104, 70, 120));
    sky.setColorAt(0.85, QColor(214, 120, 96));
    sky.setColorAt(1.0, QColor(246, 178, 110));
    p.fillRect(0, 0, kWidth, kHorizon, sky);

    QRandomGenerator random(7);
    for (int i = 0; i < 260; ++i) {
        const double x = random.bounded(kWidth);
        const double y = random.bounded(230);
        const double fade = 1.0 - y / 230.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 240, int(40 + 170 * fade * random.generateDouble())));
        const double r = 0.4 + random.generateDouble() * 0.9;
        p.drawEllipse(QPointF(x, y), r, r);
    }

    QRadialGradient glow(QPointF(690, kHorizon - 30), 260);
    glow.setColorAt(0.0, QColor(255, 226, 160, 230));
    glow.setColorAt(0.08, QColor(255, 200, 130, 170));
    glow.setColorAt(0.4, QColor(240, 140, 100, 60));
    glow.setColorAt(1.0, QColor(240, 140, 100, 0));
    p.setBrush(glow);
    p.drawRect(0, 0, kWidth, kHorizon);

    // Thin lit clouds low in the sky.
    for (int i = 0; i < 9; ++i) {
        const double y = 300 + random.bounded(140);
        const double x = random.bounded(kWidth) - 100;
        const double w = 160 + random.bounded(260);
        QLinearGradient band(x, y, x + w, y);
        band.setColorAt(0, QColor(255, 190, 160, 0));
        band.setColorAt(0.5, QColor(255, 180, 150, 50 + random.bounded(50)));
        band.setColorAt(1, QColor(255, 190, 160, 0));
        p.setBrush(band);
        p.drawEllipse(QRectF(x, y, w, 5 + random.bounded(6)));
    }
}

void drawMountains(QPainter& p) {
    struct Layer {
        quint32 seed;
        double base, amplitude;
        QColor color;
    };
    const QColor haze(196, 122, 120);
    const Layer layers[] = {{11, 380, 70, QColor(120, 82, 124)},
                            {23, 420, 80, QColor(78, 56, 100)},
                            {37, 455, 70, QColor(46, 36, 70)},
                            {53, 485, 45, QColor(24, 22, 44)}};
    int index = 0;
    for (const Layer& layer : layers) {
        const auto heights = ridge(layer.seed, layer.base, layer.amplitude, 6);
        QPainterPath path;
        path.moveTo(0, kHorizon + 1);
        for (int x = 0; x <= kWidth; x += 2)
            path.lineTo(x, qMin<double>(heights[x], kHorizon));
        path.lineTo(kWidth, kHorizon + 1);
        path.closeSubpath();
        QLinearGradient fill(0, layer.base - layer.amplitude, 0, kHorizon);
        fill.setColorAt(0, layer.color);
        fill.setColorAt(1, mix(layer.color, haze, 0.35 - 0.08 * index));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(path);
        ++index;
    }
}

void drawLake(QImage& image) {
    // The water mirrors the sky and hills, darker and broken by slow ripples.
    QRandomGenerator random(91);
    std::vector<double> phase(kHeight);
    for (double& each : phase)
        each = random.generateDouble() * 6.28;
    for (int y = kHorizon; y < kHeight; ++y) {
        const double depth = double(y - kHorizon) / (kHeight - kHorizon);
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int wobble = int(qRound(3 * depth * qSin(x / (18.0 + 40 * depth) + phase[y])));
            const int sourceY = qBound(0, 2 * kHorizon - y + wobble, kHorizon - 1);
            const QColor source = QColor::fromRgb(image.pixel(x, sourceY));
            const double dark = 0.55 - 0.3 * depth;
            const QColor water = mix(QColor(10, 16, 34), source, dark);
            row[x] = water.rgb();
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 70; ++i) {
        const double y = kHorizon + 4 + random.bounded(200);
        const double x = 560 + (random.generateDouble() - 0.5) * (60 + (y - kHorizon) * 1.2);
        p.setPen(QPen(QColor(255, 210, 150, 30 + random.bounded(90)), 1.2));
        p.drawLine(QPointF(x, y), QPointF(x + 10 + random.bounded(40), y));
    }
}

void drawShore(QPainter& p) {
    QRandomGenerator random(131);
    QPainterPath shore;
    shore.moveTo(0, 640);
    shore.cubicTo(160, 615, 260, 660, 420, 700);
    shore.cubicTo(520, 728, 560, 768, 560, 768);
    shore.lineTo(0, 768);
    shore.closeSubpath();
    shore.moveTo(kWidth, 600);
    shore.cubicTo(930, 610, 860, 660, 820, 768);
    shore.lineTo(kWidth, 768);
    shore.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 10, 18));
    p.drawPath(shore);

    // Pines along both shores.
    auto pine = [&](double x, double ground, double height) {
        const double width = height * 0.32;
        QPainterPath tree;
        tree.setFillRule(Qt::WindingFill);
        const int tiers = 5;
        for (int t = 0; t < tiers; ++t) {
            const double top = ground - height + t * height / (tiers + 1);
            const double spread = width * (0.35 + 0.65 * (t + 1) / tiers) / 2;
            tree.addPolygon(QPolygonF({QPointF(x, top), QPointF(x - spread, top + height / 3.2),
                                       QPointF(x + spread, top + height / 3.2)}));
        }
        tree.addRect(QRectF(x - width * 0.05, ground - height * 0.15, width * 0.1, height * 0.15));
        p.drawPath(tree.simplified());
    };
    for (int i = 0; i < 16; ++i) {
        const double x = 10 + i * 24 + random.bounded(14);
        pine(x, 650 + x * 0.1, 90 + random.bounded(120));
    }
    for (int i = 0; i < 8; ++i) {
        const double x = 870 + i * 20 + random.bounded(12);
        pine(x, 604 + (kWidth - x) * 0.35, 80 + random.bounded(110));
    }
}

bool writeLockPicture(const QString& folder) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawSky(p);
        drawMountains(p);
    }
    drawLake(image);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawShore(p);
    }
    return image.save(folder + QStringLiteral("/Form2.png"));
}

const ArtworkRegistration lockPicture{QStringLiteral("Form2.png"), writeLockPicture};
} // namespace
