#pragma once
// Key-colour drawing: a picture drawn onto a surface leaving out every pixel of one colour, so a
// frame painted on a flat background shows only its subject over the table.
#include <QColor>
#include <QImage>

#include "platform/draw/surface.h"

class clsPaintImageByNullBack {
public:
    // Draw pic with its top-left corner at (lngDstX, lngDstY) of the table surface, skipping the
    // pixels whose colour equals lngShowImageBackColor exactly (near colours are drawn). Clipped
    // to the surface; the surface is told it changed.
    void PictureBox_PaintImageByNullBack(Surface& picBack, const QImage& ShowImage, QColor lngShowImageBackColor,
                                         int lngDstX, int lngDstY);
};

// The implementation: exact colour test per pixel on RGB32, which gives the same
// pixels as cutting a hole with the background mask (AND) and filling it with the masked
// picture (OR). Nothing is kept between calls.
void PaintImageByNullBack(QImage& dst, const QImage& pic, QRgb key, int x, int y);
