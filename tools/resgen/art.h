#pragma once
// Shared pieces of the resource generator: where files go, and drawing helpers used by the
// picture makers.
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace resgen {

// The table colour: pictures copied plainly onto the table use it as their background.
constexpr QRgb kTable = 0xff105173;   // RGB(16, 81, 115)

// Folder a file belongs under: the client's own folder or the folder that holds it.
enum class Root { App, Parent };

class Out {
public:
    virtual ~Out() = default;
    // Saved by the suffix: .bmp (24-bit), .ico, .jpg (best quality).
    virtual void picture(Root root, const QString& rel, const QImage& img) = 0;
    virtual void bytes(Root root, const QString& rel, const QByteArray& data) = 0;
};

// ---- drawing helpers (draw.cpp) ----
// Device pixels per logical pixel of the pictures being made: 1, or 2 for the "@2x" versions.
// Canvases carry it, so painters keep drawing in logical coordinates.
int Scale();
void SetScale(int s);
QImage Canvas(int w, int h, QRgb fill);              // ARGB32 premultiplied, filled, at Scale()
// RGB32, not filled, at Scale(): for pictures set pixel by pixel, one device pixel at a time.
QImage DeviceImage(int w, int h);
void Smooth(QPainter& p);                            // antialiasing on
QFont Font(const QString& family, int px, bool bold, int stretch = 100);
QFont Cjk(int px, bool bold = true);
// Text centred in a rectangle, with a one-pixel dark shadow when shadow is set.
void CentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& f, QColor c,
                 QColor shadow = QColor());
// A sprite from a picture with transparency: pixels at least half covered become the picture
// (semi-covered edge pixels blended with the table colour, so the edge looks smooth on the
// table), the rest black in the picture and white in the mask.
void SplitMasked(const QImage& argb, QImage& pic, QImage& mask);
// The picture over the table colour, opaque (for pictures copied plainly onto the table).
QImage OnTable(const QImage& argb);
QImage Opaque(const QImage& argb, QRgb back);
// Place src into dst at x (same height) by plain copy.
void Put(QImage& dst, const QImage& src, int x, int y = 0);

// Suit symbols in a box: 0 spades, 1 hearts, 2 clubs, 3 diamonds.
QPainterPath SuitPath(int suit, const QRectF& box);
bool SuitIsRed(int suit);

// ---- the picture and sound makers (one file per theme) ----
void MakeCards(Out& out);       // Res/ResPk/Pk0..53, PkMask, Res/PkBack
void MakeTable(Out& out);       // the table's own pictures
void MakeFigures(Out& out);     // UserRes/LargeUser/<n>.ico
void MakeIcons(Out& out);       // res/Msg0..2.ico, Res/Logo.png (the window icon: no icon plugin at start), Res/NetBreak.bmp
void MakeBlasts(Out& out);      // Res/Bomb/b1..b3/Blast0NN.jpg
void MakeSounds(Out& out);      // Res/Sound/*.wav
void MakeFrame(Out& out);       // the main window's caption, buttons and splitter
void MakeShop(Out& out);        // DaoJuMaket/*, Res/DaoJu/* with DaoJuInfo.ini, Res/DaoJuBut.bmp

// Card geometry shared with the tests' expectations.
constexpr int kCardW = 80, kCardH = 105;
bool InCard(int x, int y);
QImage CardFace(int imageNo);   // RGB32, black outside the card

} // namespace resgen
