#include "art.h"

namespace resgen {

namespace {
int g_scale = 1;
} // namespace

int Scale() { return g_scale; }
void SetScale(int s) { g_scale = s > 1 ? s : 1; }

QImage Canvas(int w, int h, QRgb fill)
{
    QImage i(w * g_scale, h * g_scale, QImage::Format_ARGB32_Premultiplied);
    if (g_scale != 1)
        i.setDevicePixelRatio(g_scale);
    i.fill(fill);
    return i;
}

QImage DeviceImage(int w, int h)
{
    QImage i(w * g_scale, h * g_scale, QImage::Format_RGB32);
    if (g_scale != 1)
        i.setDevicePixelRatio(g_scale);
    return i;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont Font(const QString& family, int px, bool bold, int stretch)
{
    QFont f(family);
    f.setPixelSize(px);
    f.setBold(bold);
    if (stretch != 100)
        f.setStretch(stretch);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QFont Cjk(int px, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")});
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void CentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& f, QColor c, QColor shadow)
{
    p.setFont(f);
    if (shadow.isValid()) {
        p.setPen(shadow);
        p.drawText(r.translated(1, 1), Qt::AlignCenter, text);
    }
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

namespace {
QRgb blendOnTable(QRgb premul)
{
    const int a = qAlpha(premul);
    const int r = qRed(premul) + (qRed(kTable) * (255 - a) + 127) / 255;
    const int g = qGreen(premul) + (qGreen(kTable) * (255 - a) + 127) / 255;
    const int b = qBlue(premul) + (qBlue(kTable) * (255 - a) + 127) / 255;
    return qRgb(qMin(r, 255), qMin(g, 255), qMin(b, 255));
}
} // namespace

void SplitMasked(const QImage& argbIn, QImage& pic, QImage& mask)
{
    const QImage argb = argbIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pic = QImage(argb.size(), QImage::Format_RGB32);
    mask = QImage(argb.size(), QImage::Format_RGB32);
    pic.setDevicePixelRatio(argb.devicePixelRatio());
    mask.setDevicePixelRatio(argb.devicePixelRatio());
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb s = argb.pixel(x, y);
            const bool in = qAlpha(s) >= 96;
            pic.setPixel(x, y, in ? blendOnTable(s) : 0xff000000u);
            mask.setPixel(x, y, in ? 0xff000000u : 0xffffffffu);
        }
}

QImage Opaque(const QImage& argbIn, QRgb back)
{
    QImage out(argbIn.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(argbIn.devicePixelRatio());
    out.fill(back);
    QPainter p(&out);
    p.drawImage(0, 0, argbIn);
    p.end();
    return out;
}

QImage OnTable(const QImage& argb) { return Opaque(argb, kTable); }

void Put(QImage& dst, const QImage& src, int x, int y)
{
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(x, y, src);
}

bool SuitIsRed(int suit) { return suit == 1 || suit == 3; }

QPainterPath SuitPath(int suit, const QRectF& b)
{
    auto P = [&](double fx, double fy) { return QPointF(b.x() + fx * b.width(), b.y() + fy * b.height()); };
    auto circle = [&](double cx, double cy, double r) {
        QPainterPath c;
        c.addEllipse(P(cx, cy), r * b.width(), r * b.height());
        return c;
    };
    QPainterPath path;
    switch (suit) {
    case 1: { // hearts
        QPainterPath body;
        body.moveTo(P(0.5, 0.26));
        body.cubicTo(P(0.38, 0.02), P(0.0, 0.04), P(0.02, 0.36));
        body.cubicTo(P(0.04, 0.62), P(0.36, 0.78), P(0.5, 1.0));
        body.cubicTo(P(0.64, 0.78), P(0.96, 0.62), P(0.98, 0.36));
        body.cubicTo(P(1.0, 0.04), P(0.62, 0.02), P(0.5, 0.26));
        body.closeSubpath();
        path = body;
        break;
    }
    case 0: { // spades: a heart upside down with a stem
        QPainterPath body;
        body.moveTo(P(0.5, 0.0));
        body.cubicTo(P(0.36, 0.2), P(0.02, 0.36), P(0.02, 0.6));
        body.cubicTo(P(0.02, 0.82), P(0.36, 0.86), P(0.48, 0.68));
        body.lineTo(P(0.52, 0.68));
        body.cubicTo(P(0.64, 0.86), P(0.98, 0.82), P(0.98, 0.6));
        body.cubicTo(P(0.98, 0.36), P(0.64, 0.2), P(0.5, 0.0));
        body.closeSubpath();
        QPainterPath stem;
        stem.moveTo(P(0.5, 0.62));
        stem.quadTo(P(0.46, 0.9), P(0.28, 1.0));
        stem.lineTo(P(0.72, 1.0));
        stem.quadTo(P(0.54, 0.9), P(0.5, 0.62));
        stem.closeSubpath();
        path = body.united(stem);
        break;
    }
    case 2: { // clubs
        path = circle(0.5, 0.27, 0.24).united(circle(0.25, 0.58, 0.24)).united(circle(0.75, 0.58, 0.24));
        QPainterPath stem;
        stem.moveTo(P(0.5, 0.45));
        stem.quadTo(P(0.46, 0.9), P(0.28, 1.0));
        stem.lineTo(P(0.72, 1.0));
        stem.quadTo(P(0.54, 0.9), P(0.5, 0.45));
        stem.closeSubpath();
        QPainterPath mid;
        mid.addEllipse(P(0.5, 0.55), 0.12 * b.width(), 0.12 * b.height());
        path = path.united(stem).united(mid);
        break;
    }
    default: { // diamonds
        path.moveTo(P(0.5, 0.0));
        path.quadTo(P(0.72, 0.3), P(0.94, 0.5));
        path.quadTo(P(0.72, 0.7), P(0.5, 1.0));
        path.quadTo(P(0.28, 0.7), P(0.06, 0.5));
        path.quadTo(P(0.28, 0.3), P(0.5, 0.0));
        path.closeSubpath();
        break;
    }
    }
    return path;
}

} // namespace resgen
