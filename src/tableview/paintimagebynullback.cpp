#include "tableview/paintimagebynullback.h"

#include <algorithm>

void PaintImageByNullBack(QImage& dst, const QImage& picIn, QRgb key, int x, int y)
{
    if (dst.isNull() || picIn.isNull())
        return;
    if (dst.format() != QImage::Format_RGB32 && dst.format() != QImage::Format_ARGB32)
        dst = dst.convertToFormat(QImage::Format_RGB32);
    const QImage pic = (picIn.format() == QImage::Format_RGB32 || picIn.format() == QImage::Format_ARGB32)
        ? picIn : picIn.convertToFormat(QImage::Format_RGB32);
    const QRgb k = key & 0x00ffffffu;
    const int i0 = std::max(0, -x), i1 = std::min(pic.width(), dst.width() - x);
    const int j0 = std::max(0, -y), j1 = std::min(pic.height(), dst.height() - y);
    if (i0 >= i1 || j0 >= j1)
        return;
    uchar* const dbase = dst.bits();
    const qsizetype dbpl = dst.bytesPerLine();
    const uchar* const sbase = pic.constBits();
    const qsizetype sbpl = pic.bytesPerLine();
    for (int j = j0; j < j1; ++j) {
        const QRgb* s = reinterpret_cast<const QRgb*>(sbase + j * sbpl);
        QRgb* d = reinterpret_cast<QRgb*>(dbase + (y + j) * dbpl) + x;
        for (int i = i0; i < i1; ++i) {
            const QRgb c = s[i] & 0x00ffffffu;
            if (c != k)
                d[i] = c | 0xff000000u;
        }
    }
}

void clsPaintImageByNullBack::PictureBox_PaintImageByNullBack(Surface& picBack, const QImage& ShowImage,
                                                              QColor lngShowImageBackColor, int lngDstX, int lngDstY)
{
    // Above scale 1 the picture is taken at device pixels unsmoothed: its key colour stays exact.
    const QRect area(lngDstX, lngDstY, ShowImage.width(), ShowImage.height());
    const QPoint at = picBack.deviceRect(area).topLeft();
    PaintImageByNullBack(picBack.drawingImage(area), picBack.devicePicture(ShowImage), lngShowImageBackColor.rgb(),
                         at.x(), at.y());
    picBack.changed();
}
