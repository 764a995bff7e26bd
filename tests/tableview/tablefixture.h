#pragma once
// A table to draw on in tests: a surface, table state, public state, drawing state and a picture
// cache of its own, over a temporary resource folder of small synthetic pictures whose colours
// tell which file was drawn where.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "platform/draw/imagecache.h"
#include "platform/draw/surface.h"
#include "tableview/gamepaint.h"

namespace tabletest {

inline const QRgb kBack = qRgb(16, 81, 115) & 0xffffffu;

// Colour of the face of card file n (never black, never the table colour).
inline QRgb FaceColour(int n) { return qRgb(40 + n * 3, 200 - n * 2, 90 + (n % 7) * 20); }
inline const QRgb kBackColour = qRgb(200, 30, 30);

// A card picture: `body` everywhere except 3 x 3 corners, which are black (transparent when ORed
// over the mask's white corners).
inline QImage CardPicture(QRgb body)
{
    QImage img(80, 105, QImage::Format_RGB32);
    img.fill(body);
    for (int y = 0; y < 105; ++y)
        for (int x = 0; x < 80; ++x)
            if ((x < 3 || x >= 77) && (y < 3 || y >= 102)) img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

inline QImage CardMask()
{
    QImage img(80, 105, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 105; ++y)
        for (int x = 0; x < 80; ++x)
            if ((x < 3 || x >= 77) && (y < 3 || y >= 102)) img.setPixel(x, y, qRgb(255, 255, 255));
    return img;
}

inline QImage Solid(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

inline bool Save(const QImage& img, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return img.save(path, path.endsWith(QLatin1String(".jpg")) ? "PNG" : "BMP");
}

// Writes the synthetic resource pack under root (root/bin is the program folder).
inline void WritePack(const QString& root)
{
    const QString res = root + QStringLiteral("/bin/Res/");
    for (int n = 0; n < 54; ++n) Save(CardPicture(FaceColour(n)), res + QStringLiteral("ResPk/Pk%1.bmp").arg(n));
    Save(CardMask(), res + QStringLiteral("ResPk/PkMask.bmp"));
    Save(CardPicture(kBackColour), res + QStringLiteral("PkBack.bmp"));
    // Pass mark: picture cell yellow with a black border column, mask cell black with white border.
    QImage buchu(134, 34, QImage::Format_RGB32);
    buchu.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 67; ++x) {
            const bool edge = x == 0 || x == 66;
            buchu.setPixel(x, y, edge ? qRgb(0, 0, 0) : qRgb(250, 250, 0));
            buchu.setPixel(67 + x, y, edge ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    Save(buchu, res + QStringLiteral("BuChu.bmp"));
    QImage ming(144, 46, QImage::Format_RGB32);
    for (int k = 0; k < 3; ++k)
        for (int y = 0; y < 46; ++y)
            for (int x = 0; x < 48; ++x) ming.setPixel(k * 48 + x, y, qRgb(10 + k * 100, 0, 250));
    Save(ming, res + QStringLiteral("MingCi.bmp"));
    // Option buttons: cells by state and index; play buttons: six cells and an all-black mask.
    QImage opt(176, 24, QImage::Format_RGB32);
    for (int k = 0; k < 4; ++k)
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 44; ++x) opt.setPixel(k * 44 + x, y, qRgb(100 + k * 30, 100, 100));
    Save(opt, res + QStringLiteral("UserOptBut.bmp"));
    QImage out(427, 28, QImage::Format_RGB32);
    out.fill(qRgb(0, 0, 0));
    for (int k = 0; k < 6; ++k)
        for (int y = 0; y < 28; ++y)
            for (int x = 0; x < 61; ++x) out.setPixel(k * 61 + x, y, qRgb(30 + k * 40, 220, 30));
    Save(out, res + QStringLiteral("UserOutBut.bmp"));
    QImage clock(279, 38, QImage::Format_RGB32);
    clock.fill(qRgb(0, 0, 0));
    for (int k = 0; k < 8; ++k)
        for (int y = 0; y < 38; ++y)
            for (int x = 0; x < 31; ++x) clock.setPixel(k * 31 + x, y, qRgb(20 + k * 30, 20, 20));
    Save(clock, res + QStringLiteral("Clock.bmp"));
    Save(Solid(60, 30, qRgb(240, 240, 240)), res + QStringLiteral("Hand.bmp"));
    QImage mid(228, 172, QImage::Format_RGB32);
    for (int y = 0; y < 172; ++y)
        for (int x = 0; x < 228; ++x) mid.setPixel(x, y, qRgb(x, y, 60));
    Save(mid, res + QStringLiteral("GameBackMid.bmp"));
    Save(Solid(8, 5, qRgb(90, 60, 30)), res + QStringLiteral("GameBackVsBian.bmp"));
    Save(Solid(5, 8, qRgb(90, 60, 31)), res + QStringLiteral("GameBackHsBian.bmp"));
    Save(Solid(18, 18, qRgb(90, 60, 32)), res + QStringLiteral("GameBackJiao.bmp"));
    Save(Solid(52, 30, qRgb(70, 70, 70)), res + QStringLiteral("TimeBarHead.bmp"));
    Save(Solid(10, 30, qRgb(70, 70, 71)), res + QStringLiteral("TimeBarEnd.bmp"));
    Save(Solid(159, 62, qRgb(50, 50, 90)), res + QStringLiteral("GameScore.bmp"));
    Save(Solid(32, 32, qRgb(0, 250, 0)), root + QStringLiteral("/UserRes/LargeUser/1.ico"));
}

// A blast frame on a flat key-coloured background with a square of `c` in the middle.
inline QImage BlastFrame(int w, int h, QRgb key, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(key);
    for (int y = h / 4; y < h * 3 / 4; ++y)
        for (int x = w / 4; x < w * 3 / 4; ++x) img.setPixel(x, y, c);
    return img;
}

struct Table {
    QTemporaryDir dir;
    Surface surf;
    TableState ts;
    TableViewState tv;
    PublicState ps;
    PaintState p;
    ImageCache cache;
    PaintCtx ctx{surf, ts, tv, ps, p, cache};

    explicit Table(int w = 800, int h = 600, bool pack = true)
    {
        if (pack) WritePack(dir.path());
        ps.strAppPath = dir.path() + QStringLiteral("/bin/");
        ps.strParentPath = dir.path() + QStringLiteral("/");
        p.ScreenWidthPx = 1920;
        surf.resize(w, h);
        ComputeLayout(ctx);
    }
    QString root() const { return dir.path(); }
    QRgb px(int x, int y) const { return surf.image().pixel(x, y) & 0xffffffu; }
    // Seats the four chairs with the viewer on `mine`.
    void Seat(int mine = 0)
    {
        for (int c = 0; c < 4; ++c) {
            ts.Chairs[size_t(c)].Name = QStringLiteral("player%1").arg(c);
            ts.Chairs[size_t(c)].IconNo = 0;
        }
        ts.strViewOwner = ts.Chairs[size_t(mine)].Name;
        ts.bteMyChair = uint8_t(mine);
        static constexpr uint8_t kPos[4] = {2, 3, 0, 1};
        for (int k = 0; k < 4; ++k) tv.ViewPosOfChair[size_t((mine + k) % 4)] = kPos[k];
    }
};

inline QRgb Rgb(QRgb c) { return c & 0xffffffu; }

}  // namespace tabletest
