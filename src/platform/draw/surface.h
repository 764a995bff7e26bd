#pragma once
// A drawing surface that keeps its picture: the table's persistent image. Every drawing call
// paints into the image; a widget that shows it only copies the image to the screen, and tests
// draw into the same image without a window.
#include <QColor>
#include <QImage>
#include <QString>
#include <functional>

// Raster operations of a block copy: plain copy, AND, OR, inverted copy.
enum class Rop { Copy, And, Or, NotCopy };

class Surface {
public:
    explicit Surface(int w = 0, int h = 0, QColor back = QColor(16, 81, 115));

    // New size; the picture is cleared to the back colour.
    void resize(int w, int h);
    int width() const { return img_.width(); }
    int height() const { return img_.height(); }
    QImage& image() { return img_; }
    const QImage& image() const { return img_; }

    QColor backColor;

    // The whole surface in the back colour.
    void clear();
    // A filled box from (x, y), w x h pixels, clipped to the surface.
    void fillRect(int x, int y, int w, int h, QColor c);
    // Copy the source rectangle (sx, sy, |w|, |h|) to (dx, dy) with a raster operation. A negative
    // w or h mirrors the copy left-to-right or top-to-bottom; the destination then spans
    // dx + w .. dx (resp. dy + h .. dy), as the original block copy did. Clipped to both images.
    void blt(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, Rop rop = Rop::Copy);
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

    // Called after drawing so a widget showing the surface can schedule a repaint.
    std::function<void()> onChanged;
    void changed() { if (onChanged) onChanged(); }

private:
    QImage img_;
};
