// The blast animations: numbered JPEG frames on a flat key colour (black or white), which the
// table leaves out when drawing them.
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>

#include "art.h"

namespace resgen {

namespace {

// Frames are drawn without edge smoothing: a pixel blended with the key colour would no longer
// equal it and would be drawn as a dark (or pale) halo around the picture.
// Keeps a margin of pure key colour around every frame: the corners and borders must decode to
// the key colour exactly, and JPEG blocks that hold nothing but the key colour do.
constexpr int kMargin = 8;

QColor mix(QColor a, QColor b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// A ragged flame outline: radius varies with the angle.
QPainterPath fireball(QPointF c, double r, double rough, quint32 seed, double squash = 1.0)
{
    QRandomGenerator rng(seed);
    QPainterPath path;
    const int n = 28;
    for (int i = 0; i <= n; ++i) {
        const double a = 2 * M_PI * i / n;
        const double rr = r * (1.0 + rough * ((i % n) % 2 ? 0.35 : -0.1) * (0.6 + 0.4 * rng.generateDouble()));
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a) * squash);
        if (i == 0) path.moveTo(pt); else path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void clipToMargin(QPainter& p, int w, int h) { p.setClipRect(QRect(kMargin, kMargin, w - 2 * kMargin, h - 2 * kMargin)); }

// Kind 1: a fireball that flashes, swells and breaks into sparks and smoke. 9 frames, 180 x 135.
QImage blast1(int f)   // f = 0 .. 8
{
    const int w = 180, h = 135;
    QImage img = Canvas(w, h, 0xff000000u);
    QPainter p(&img);
    clipToMargin(p, w, h);
    const QPointF c(w / 2.0, h / 2.0 + 6);
    const double t = f / 8.0;
    const double r = 12 + 46 * std::sqrt(t);
    // embers flying outwards: few and bold, so the frame stays clean over the table
    QRandomGenerator rng(1000 + 7);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 16; ++i) {
        const double a = rng.generateDouble() * 2 * M_PI;
        const double v = 0.6 + 0.6 * rng.generateDouble();
        const double d = r * (0.8 + 1.0 * v * t) + 6;
        const QPointF pt(c.x() + d * std::cos(a), c.y() + d * std::sin(a) * 0.8);
        p.setBrush(mix(QColor(255, 230, 120), QColor(230, 90, 20), t));
        p.drawEllipse(pt, 3.0 - 1.2 * t, 3.0 - 1.2 * t);
    }
    // smoke ring in the late frames
    if (f >= 4) {
        const double s = (f - 4) / 4.0;
        p.setPen(Qt::NoPen);
        p.setBrush(mix(QColor(110, 90, 80), QColor(70, 60, 55), s));
        p.drawPath(fireball(c, r * 1.02, 0.25, 77 + f, 0.82));
    }
    // the fire itself, outer to inner
    const QColor layers[4] = {QColor(170, 30, 10), QColor(250, 120, 20), QColor(255, 200, 60), QColor(255, 250, 220)};
    const double shrink = f >= 5 ? 1.0 - 0.18 * (f - 4) : 1.0;
    for (int k = 0; k < 4; ++k) {
        const double rk = r * (1.0 - 0.22 * k) * shrink;
        if (rk < 2)
            continue;
        p.setPen(Qt::NoPen);
        // Only the outermost layer meets the key colour; the inner ones may be smoothed.
        p.setRenderHint(QPainter::Antialiasing, k > 0);
        QColor col = layers[k];
        if (f >= 6)
            col = mix(col, QColor(120, 60, 30), (f - 5) / 4.0);
        p.setBrush(col);
        p.drawPath(fireball(c, rk, 0.35 - 0.06 * k, 31 * f + k, 0.8));
    }
    // the first frames flash
    if (f <= 1) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(QColor(255, 255, 235));
        p.drawEllipse(c, r * 0.9, r * 0.75);
    }
    p.end();
    return img;
}

// Kind 2: a golden star bursting with coloured streamers, on white. 15 frames, 88 x 80.
QImage blast2(int f)   // f = 0 .. 14
{
    const int w = 88, h = 80;
    QImage img = Canvas(w, h, 0xffffffffu);
    QPainter p(&img);
    clipToMargin(p, w, h);
    const QPointF c(w / 2.0, h / 2.0);
    const double t = f / 14.0;
    const double grow = f < 6 ? f / 6.0 : 1.0;
    const double fade = f > 10 ? (f - 10) / 4.0 : 0.0;
    // streamers
    const QColor colours[6] = {QColor(230, 40, 50), QColor(40, 110, 230), QColor(30, 170, 70),
                               QColor(240, 150, 20), QColor(160, 60, 200), QColor(20, 170, 200)};
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6 + t * 0.6;
        const double d0 = 10 + 18 * t, d1 = d0 + 6 + 8 * grow;
        QColor col = mix(colours[i % 6], QColor(255, 255, 255), fade * 0.85);
        p.setPen(QPen(col, 3.5 - 1.0 * t, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() + d0 * std::cos(a), c.y() + d0 * std::sin(a)),
                   QPointF(c.x() + d1 * std::cos(a), c.y() + d1 * std::sin(a)));
    }
    // a ring of coloured balls riding out with the streamers
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3 + M_PI / 6 - t * 0.4;
        const double d = 8 + 24 * t;
        p.setBrush(mix(colours[(i + 3) % 6], QColor(255, 255, 255), fade * 0.85));
        p.drawEllipse(QPointF(c.x() + d * std::cos(a), c.y() + d * std::sin(a)), 3.2 - 1.2 * t, 3.2 - 1.2 * t);
    }
    // the star
    const double R = (6 + 16 * grow) * (1.0 - 0.5 * fade), ri = R * 0.45;
    if (R > 1) {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5 + t * 1.2;
            const double rr = i % 2 ? ri : R;
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
            if (i == 0) star.moveTo(pt); else star.lineTo(pt);
        }
        star.closeSubpath();
        QRadialGradient g(c, R);
        g.setColorAt(0, mix(QColor(255, 250, 190), QColor(255, 255, 255), fade));
        g.setColorAt(1, mix(QColor(235, 150, 10), QColor(255, 240, 220), fade));
        p.setPen(QPen(mix(QColor(160, 80, 0), QColor(255, 230, 200), fade), 1));
        p.setBrush(g);
        p.drawPath(star);
    }
    p.end();
    return img;
}

// Kind 3: a column of fire rising, flaring and dying down. 27 frames, 78 x 121.
QImage blast3(int f)   // f = 0 .. 26
{
    const int w = 78, h = 121;
    QImage img = Canvas(w, h, 0xff000000u);
    QPainter p(&img);
    clipToMargin(p, w, h);
    const double t = f / 26.0;
    // height rises quickly, holds, then sinks
    const double rise = t < 0.35 ? t / 0.35 : (t > 0.75 ? 1.0 - (t - 0.75) / 0.25 * 0.8 : 1.0);
    const double top = (h - kMargin) - (h - 2 * kMargin - 4) * rise;
    const double base = h - kMargin - 2;
    const double cx = w / 2.0;
    const QColor layers[4] = {QColor(190, 30, 10), QColor(245, 110, 20), QColor(255, 200, 60), QColor(255, 250, 225)};
    for (int k = 0; k < 4; ++k) {
        const double half = (26 - 6 * k) * (0.6 + 0.4 * rise);
        const double tip = top + k * 10 * rise;
        if (base - tip < 4)
            continue;
        QPainterPath flame;
        flame.moveTo(cx - half, base);
        const double wob = 4 * std::sin(f * 0.9 + k);
        flame.cubicTo(cx - half * 1.1, base - (base - tip) * 0.5, cx - half * 0.3 + wob, tip + (base - tip) * 0.25,
                      cx + wob * 0.5, tip);
        flame.cubicTo(cx + half * 0.3 + wob, tip + (base - tip) * 0.25, cx + half * 1.1, base - (base - tip) * 0.5,
                      cx + half, base);
        flame.closeSubpath();
        p.setPen(Qt::NoPen);
        // Only the outermost layer meets the key colour; the inner ones may be smoothed.
        p.setRenderHint(QPainter::Antialiasing, k > 0);
        p.setBrush(layers[k]);
        p.drawPath(flame);
    }
    // embers
    p.setRenderHint(QPainter::Antialiasing, false);
    QRandomGenerator rng(99 + f);
    for (int i = 0; i < 5; ++i) {
        const double x = cx + (rng.generateDouble() - 0.5) * 40;
        const double y = top + rng.generateDouble() * (base - top) * 0.6;
        p.setBrush(QColor(255, 220 - int(rng.generateDouble() * 100), 80));
        p.drawEllipse(QPointF(x, y), 2.4, 2.4);
    }
    p.end();
    return img;
}

} // namespace

void MakeBlasts(Out& out)
{
    struct Kind { const char* folder; int frames; QImage (*frame)(int); };
    static const Kind kinds[] = {{"b1", 9, &blast1}, {"b2", 15, &blast2}, {"b3", 27, &blast3}};
    for (const Kind& k : kinds)
        for (int i = 1; i <= k.frames; ++i)
            out.picture(Root::App,
                        QStringLiteral("Res/Bomb/%1/Blast0%2.jpg").arg(QLatin1String(k.folder)).arg(i, 2, 10, QLatin1Char('0')),
                        k.frame(i - 1));
}

} // namespace resgen
