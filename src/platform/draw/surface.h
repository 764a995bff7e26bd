#pragma once
// A drawing surface that keeps its picture: the table's persistent image. Every drawing call
// paints into the image; a widget that shows it only copies the image to the screen, and tests
// draw into the same image without a window.
//
// The surface remembers where it was drawn on, in two ways. Since the last clear: the picture is
// cut into tiles, and a tile nothing was drawn on still holds the back colour, so clearing and
// erasing in the back colour skip it. Since the last look: the rectangles changed since a widget
// last asked (takeChanged), so the screen copies only those.
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QHash>
#include <QRegion>
#include <QStaticText>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Raster operations of a block copy: plain copy, AND, OR, inverted copy.
enum class Rop { Copy, And, Or, NotCopy };

class Surface {
public:
    explicit Surface(int w = 0, int h = 0, QColor back = QColor(16, 81, 115));

    // New size in logical pixels; the picture is cleared to the back colour.
    void resize(int w, int h);
    int width() const { return w_; }
    int height() const { return h_; }
    // Device pixels per logical pixel (the screen's scale). The picture is kept at device pixels
    // while every drawing call keeps logical coordinates: they are scaled once, here, where they
    // meet the picture, and pictures with a 2x version are drawn from it. Clears the picture when
    // it changes.
    void setDevicePixelRatio(qreal dpr);
    qreal devicePixelRatio() const { return dpr_; }
    // The device pixels a logical rectangle covers, and the logical rectangle that covers device
    // pixels.
    QRect deviceRect(const QRect& r) const;
    QRect logicalRect(const QRect& d) const;
    // A logical rectangle of the picture at its device pixels, carrying the ratio: drawn back
    // with blt pixel for pixel.
    QImage copyArea(int x, int y, int w, int h) const;
    // A whole picture at the surface's device pixels (its 2x version, or scaled without
    // smoothing so that its exact colours stay): for drawing into drawingImage() directly.
    QImage devicePicture(const QImage& pic) const;
    // The picture at device pixels: image().devicePixelRatio() is the surface's ratio.
    const QImage& image() const { return img_; }
    // Direct access for drawing outside these calls: counts as drawing on the whole picture.
    // Don't keep the reference across another drawing call.
    QImage& image() { return drawingImage(QRect(0, 0, width(), height())); }
    // The same for drawing inside `area` (logical) only, which alone counts as drawn on.
    QImage& drawingImage(const QRect& area);

    QColor backColor;

    // The whole surface in the back colour.
    void clear();
    // A filled box from (x, y), w x h pixels, clipped to the surface.
    void fillRect(int x, int y, int w, int h, QColor c);
    // Copy the source rectangle (sx, sy, |w|, |h|) to (dx, dy) with a raster operation. A negative
    // w or h mirrors the copy left-to-right or top-to-bottom; the destination then spans
    // dx + w .. dx (resp. dy + h .. dy), as the original block copy did. Clipped to both images.
    void blt(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, Rop rop = Rop::Copy);
    // A masked picture: the mask's rectangle (mx, my, w, h) ANDed, then the face's (fx, fy, w, h)
    // ORed at (dx, dy), in one pass where both cover the same part. The same pixels as the two
    // copies; a null mask leaves the face ORed alone. Negative sizes mirror as for blt. Between
    // whole device pixels per source pixel the face is laid through its mask's coverage instead,
    // so the scaled edge has no seam.
    void maskBlt(int dx, int dy, int w, int h, const QImage& mask, int mx, int my, const QImage& face, int fx, int fy);
    // Copy scaled: source (sx, sy, sw, sh) to destination (dx, dy, dw, dh), negative dw/dh mirror.
    void stretchBlt(int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw, int sh, Rop rop = Rop::Copy);
    // A picture drawn over the surface through its transparency (icons); opaque pictures are
    // a plain copy.
    void drawImage(int x, int y, const QImage& pic);
    // A one-pixel line.
    void line(int x1, int y1, int x2, int y2, QColor c);

    // Text in the surface's current font and colour, its top-left at (x, y).
    QString fontName = QStringLiteral("宋体");
    int fontSize = 9;        // points
    bool fontBold = false;
    QColor foreColor = QColor(0, 0, 0);
    void print(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight() const;
    // The font those are in now.
    QFont currentFont() const;

    // Called after drawing so a widget showing the surface can schedule a repaint.
    std::function<void()> onChanged;
    void changed() { if (onChanged) onChanged(); }
    // The part of the picture changed since the last call (nothing the first time after a call
    // found nothing drawn), and forget it.
    QRegion takeChanged();

    // Pixels written by clearing and by erasing in the back colour so far: only what was drawn
    // on since the last clear has to be. For measuring.
    qint64 erasedPixels() const { return erased_; }

private:
    struct FontEntry {
        QString name;
        int size = 0;
        bool bold = false;
        QFont font;
        QFontMetrics metrics{QFont()};
        // Texts laid out in this font: the same few come back at every repaint.
        QHash<QString, QStaticText> texts;
    };
    FontEntry& fontEntry() const;

    // A picture to draw from and its device pixels per logical pixel.
    struct Source {
        QImage img;
        qreal k = 1.0;
    };
    Source sourceOf(const QImage& pic) const;
    int dev(int v) const;
    // The copies at device pixels (what the logical calls come down to).
    void bltDev(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, Rop rop);
    void maskBltDev(int dx, int dy, int w, int h, const QImage& mask, int mx, int my, const QImage& face, int fx, int fy);
    // A picture scaled onto a logical box (mirrored as asked), where no copy pixel for pixel fits.
    void paintScaled(const QRect& box, bool mirX, bool mirY, const QImage& src, const QRectF& from, Rop rop,
                     bool smooth);
    // A part of a picture at a device size, scaled once and kept while its picture lives.
    QImage scaledPart(const QImage& src, const QRect& from, const QSize& size, bool smooth);
    void cutOutBlt(int dx, int dy, int w, int h, const Source& m, int mx, int my, const Source& f, int fx, int fy);
    QHash<QString, QImage> scaled_;

    void markDrawn(const QRect& area);
    void markDrawnDev(const QRect& area);
    void resetTiles(bool clean);
    void markTiles(int x0, int y0, int x1, int y1);
    void noteChanged(int x0, int y0, int x1, int y1);
    // Fills the part of [x0, x1) x [y0, y1) that lies on tiles drawn on since the clear.
    void eraseDrawn(int x0, int y0, int x1, int y1, QRgb v);
    void fillSpan(int x0, int y0, int x1, int y1, QRgb v);

    QImage img_;
    int w_ = 0, h_ = 0;
    qreal dpr_ = 1.0;
    // Tiles of kTileW x kTileH pixels, row by row: nonzero when something may have been drawn on
    // the tile since the picture was last wholly in cleanColor_.
    std::vector<uint8_t> drawn_;
    int tilesX_ = 0, tilesY_ = 0;
    QRgb cleanColor_ = 0;
    bool cleanKnown_ = false;
    // Changed since the last takeChanged: a few rectangles, or one bounding all when many.
    std::vector<QRect> changed_;
    bool changedAll_ = false;
    qint64 erased_ = 0;
    mutable std::vector<FontEntry> fonts_;
};
