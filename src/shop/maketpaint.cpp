#include "shop/maketpaint.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QPainter>

#include "platform/draw/gamefont.h"
#include "shop/maketrules.h"

using namespace MaketMetrics;

namespace {

const QColor kPanelFill(214, 215, 214);
const QColor kFrameLight(250, 250, 255);
const QColor kFrameDark(150, 150, 160);
const QRect kPanel(QPoint(PanelLeft, PanelTop), QPoint(PanelRight, PanelBottom));
// The item's note keeps above the shop's note; both stay inside the panel.
const QRect kNoteClip(QPoint(PanelLeft, NoteY), QPoint(PanelRight, ShopNoteY - 1));
const QRect kShopNoteClip(QPoint(PanelLeft, ShopNoteY), QPoint(PanelRight, PanelBottom));
const QRect kFrameOuter(QPoint(592, 76), QPoint(707, 194));
const QRect kFrameInner(QPoint(593, 77), QPoint(708, 195));

// Draws the picture at (x, y) when the file exists.
void DrawPic(QPainter& p, ImageCache& cache, const QString& path, int x, int y)
{
    const QImage img = cache.get(path);
    if (!img.isNull()) p.drawImage(x, y, PictureForRatio(img, p.device()->devicePixelRatioF()));
}

// A box outline through both corners, one pixel wide.
void Outline(QPainter& p, const QRect& r, const QColor& c)
{
    p.setPen(c);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

QString MaketPicPath(const PublicState& pub, const QString& name)
{
    return pub.strParentPath + QStringLiteral("DaoJuMaket/") + name;
}

QString DaoJuPicPath(const PublicState& pub, int32_t id)
{
    return pub.strAppPath + QStringLiteral("Res/DaoJu/DaoJuInfo_") + QString::number(id) + QStringLiteral(".bmp");
}

QString MyDaoJuPicPath(const PublicState& pub, int32_t id)
{
    return pub.strAppPath + QStringLiteral("Res/DaoJu/MyDaoJu_") + QString::number(id) + QStringLiteral(".bmp");
}

QImage DaoJuPicture(const MaketPaintCtx& c, int32_t id)
{
    const QImage own = c.cache.get(DaoJuPicPath(c.pub, id));
    if (!own.isNull()) return own;
    return c.cache.get(MaketPicPath(c.pub, QStringLiteral("DaoJuNo.bmp")));
}

QFont MaketFont(bool strikeOut)
{
    QFont f;
    // 9 points at 96 dpi; the sharp face keeps small Chinese text crisp and of one colour.
    f.setFamily(InstalledFamily(QStringLiteral("宋体")));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch | QFont::NoAntialias));
    f.setStrikeOut(strikeOut);
    return f;
}

void PrintAt(QPainter& p, int x, int y, const QString& text, const QColor& color, bool strikeOut)
{
    if (text.isEmpty()) return;
    const QFont f = MaketFont(strikeOut);
    p.setFont(f);
    p.setPen(color);
    // y is the top of the line. The Chinese of a small sharp face rises above the face's ascent:
    // such a line goes down with it instead of reaching into what lies above (a card's border).
    const QFontMetrics fm(f);
    p.drawText(QPoint(x, y + std::max(fm.ascent(), -fm.tightBoundingRect(text).top())), text);
}

void DrawMaket(QPainter& p, const MaketPaintCtx& c)
{
    DrawPic(p, c.cache, MaketPicPath(c.pub, QStringLiteral("DaoJuMain.bmp")), 0, 0);
    PrintAt(p, TitleX, TitleY, MaketTitle(c.pub.strGameTitle), kMaketTextColor);
    DrawDaoJuPage(p, c);
    DrawDaoJuInfo(p, c);
}

void DrawDaoJuInfoBack(QPainter& p, const MaketPaintCtx& c)
{
    DrawPic(p, c.cache, MaketPicPath(c.pub, QStringLiteral("DaoJuInfoBk.bmp")), InfoBackX, InfoBackY);
}

void DrawDaoJuPage(QPainter& p, const MaketPaintCtx& c)
{
    DrawDaoJuInfoBack(p, c);
    const DaoJuType* type = c.st.CurType();
    if (!type) return;
    const int n = type->DaoJus.upperBound();
    int cell = 0;
    for (int64_t j = std::max(type->lngFirst, 1); j <= n && cell < CellsPerPage; ++j, ++cell) {
        const DaoJuInfo& d = type->DaoJus(int(j));
        const QPoint at = DaoJuCellCorner(cell);
        const QImage pic = DaoJuPicture(c, d.lngID);
        if (!pic.isNull()) p.drawImage(at, PictureForRatio(pic, p.device()->devicePixelRatioF()));
        const auto lines = DaoJuCellLines(d);
        for (int k = 0; k < int(lines.size()); ++k)
            PrintAt(p, at.x() + TextLeft, at.y() + TextTop + k * LineStep, lines[size_t(k)].text, lines[size_t(k)].color,
                    lines[size_t(k)].struck);
    }
}

void PrintMaketNote(QPainter& p, const MaketPaintCtx& c)
{
    p.fillRect(kPanel, kPanelFill);
    Outline(p, kFrameOuter, kFrameLight);
    Outline(p, kFrameInner, kFrameDark);
    p.save();
    p.setClipRect(kShopNoteClip);
    PrintWrapped(p, NoteX, ShopNoteY, MaketNoteText(c.pub.strGameTitle), WrapChars);
    p.restore();
}

void DrawDaoJuInfo(QPainter& p, const MaketPaintCtx& c)
{
    PrintMaketNote(p, c);
    if (c.st.lngHotCell < 0) return;
    const DaoJuInfo* d = nullptr;
    if (const DaoJuType* type = c.st.CurType()) {
        const int64_t k = int64_t(type->lngFirst) + c.st.lngHotCell;
        if (k >= 1 && k <= type->DaoJus.upperBound()) d = &type->DaoJus(int(k));
    }
    if (!d) return;
    const QImage pic = DaoJuPicture(c, d->lngID);
    if (!pic.isNull()) p.drawImage(PanelPicX, PanelPicY, PictureForRatio(pic, p.device()->devicePixelRatioF()));
    p.save();
    p.setClipRect(kNoteClip);
    PrintWrapped(p, NoteX, NoteY, DaoJuNoteText(*d), WrapChars);
    p.restore();
}

void PrintWrapped(QPainter& p, int x, int y, const QString& text, int n)
{
    const QStringList lines = WrapText(text, n);
    for (int k = 0; k < lines.size(); ++k) PrintAt(p, x, y + WrapLineStep * k, lines[k], kMaketTextColor);
}

QImage TabPicture(const PublicState& pub, ImageCache& cache, bool selected, const QString& name, qreal dpr)
{
    const qreal k = dpr > 1.0 ? dpr : 1.0;
    QImage img(int(std::ceil(TabWidth * k)), int(std::ceil(TabHeight * k)), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(k);
    img.fill(Qt::transparent);
    QPainter p(&img);
    DrawPic(p, cache, MaketPicPath(pub, selected ? QStringLiteral("TabBut.bmp") : QStringLiteral("TabButM.bmp")), 0, 0);
    PrintAt(p, TabTextX, TabTextY, name, kMaketTextColor);
    return img;
}
