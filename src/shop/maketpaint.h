#pragma once
// Drawing the shop window's own surface (the child controls draw themselves): the background,
// the title, the page of four items and the information panel. Every picture is drawn only
// when its file exists, as a plain copy; a missing one leaves its part undrawn.
#include <QFont>
#include <QImage>
#include <QString>

#include "platform/draw/imagecache.h"
#include "rules/publicstate.h"
#include "shop/daojustate.h"

class QPainter;

struct MaketPaintCtx {
    const DaoJuState& st;
    const PublicState& pub;
    ImageCache& cache;
};

// The shop window's pictures: strParentPath + "DaoJuMaket\" + name.
QString MaketPicPath(const PublicState& pub, const QString& name);
// An item's pictures: strAppPath + "Res\DaoJu\DaoJuInfo_<id>.bmp" (catalogue and panel) and
// "Res\DaoJu\MyDaoJu_<id>.bmp" (owned-item strip).
QString DaoJuPicPath(const PublicState& pub, int32_t id);
QString MyDaoJuPicPath(const PublicState& pub, int32_t id);
// The catalogue picture of an item, else "DaoJuNo.bmp", else a null image.
QImage DaoJuPicture(const MaketPaintCtx& c, int32_t id);

// The window's text face (the game's "宋体" at 9 points, an installed CJK face standing in).
QFont MaketFont(bool strikeOut = false);

// Text with its top-left corner at (x, y).
void PrintAt(QPainter& p, int x, int y, const QString& text, const QColor& color, bool strikeOut = false);

// The full repaint of the window's surface: background, title, page, panel.
void DrawMaket(QPainter& p, const MaketPaintCtx& c);
// The background of the four cells.
void DrawDaoJuInfoBack(QPainter& p, const MaketPaintCtx& c);
// The cells of the selected type's current page.
void DrawDaoJuPage(QPainter& p, const MaketPaintCtx& c);
// The panel: its box and picture frame, the shop's note, and the item under the mouse.
void DrawDaoJuInfo(QPainter& p, const MaketPaintCtx& c);
void PrintMaketNote(QPainter& p, const MaketPaintCtx& c);
// Text in lines of n characters, in black, 15 pixels apart, from (x, y).
void PrintWrapped(QPainter& p, int x, int y, const QString& text, int n);

// A type tab: "TabBut.bmp" when selected, else "TabButM.bmp", with the type's name at (10, 5).
// Drawn at dpr device pixels per logical one (the window's), carrying that ratio.
QImage TabPicture(const PublicState& pub, ImageCache& cache, bool selected, const QString& name, qreal dpr = 1.0);
