#pragma once
// The shop window's rules that need no window: where the catalogue cells and tabs are, which
// cell a point is in, how the pages and the owned-item strip move, and the texts of a cell, of
// the panel and of an owned item's tool tip.
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "shop/daojustate.h"

namespace MaketMetrics {
inline constexpr int Width = 727, Height = 541;      // the window's client size
inline constexpr int MoveBand = 32;                  // a press on rows 0..32 moves the window
inline constexpr int CellLeft = 15, CellTop = 68;    // cell 0
inline constexpr int CellWidth = 279, CellHeight = 159;
inline constexpr int CellsPerPage = 4;
inline constexpr int TextLeft = 126, TextTop = 2, LineStep = 17;   // the seven lines of a cell
inline constexpr int TabLeft = 10, TabWidth = 85, TabHeight = 20;
inline constexpr int TypeTabTop = 38, MyTypeTabTop = 427;
inline constexpr int TabTextX = 10, TabTextY = 5;
inline constexpr int SysButSize = 17;
inline constexpr int BuyButWidth = 55, BuyButHeight = 23;
inline constexpr int MeButWidth = 38, MeButHeight = 94;
inline constexpr int SlotCount = 7, SlotLeft = 56, SlotStep = 90, SlotTop = 454, SlotWidth = 81, SlotHeight = 79;
inline constexpr int InfoBackX = 10, InfoBackY = 63;
inline constexpr int WrapChars = 20, WrapLineStep = 15;
inline constexpr int NoteX = 589, NoteY = 210, ShopNoteY = 350;
inline constexpr int PanelLeft = 585, PanelTop = 69, PanelRight = 715, PanelBottom = 406;   // inclusive
inline constexpr int PanelPicX = 594, PanelPicY = 78;
inline constexpr int TitleX = 40, TitleY = 10;
// Types beyond this many cannot be selected (the selection is one byte).
inline constexpr int MaxTabs = 255;
}  // namespace MaketMetrics

// Top-left corner of catalogue cell 0..3: (15, 68), (294, 68), (15, 227), (294, 227).
QPoint DaoJuCellCorner(int cell);
// The catalogue cell at a window point, or -1 outside the four cells. A point on the line
// between two cells belongs to the left or upper one.
int HitDaoJuCell(int x, int y);

// Top-left of type tab i (1-based) in the catalogue's row or the owned items' row.
QPoint TypeTabPos(int i, bool mine);
// Where controls go: the minimise (0) and close (1) buttons, buy button 0..3, strip scroll
// button 0..1, strip slot 0..6, page label 0..4.
QRect SysButRect(int i);
QRect BuyButRect(int i);
QRect MeButRect(int i);
QRect MyDaoJuSlotRect(int i);
QPoint PageLabelPos(int i);

// The page labels under the cells.
enum PageLabel : int { PL_Count, PL_First, PL_Prev, PL_Next, PL_Last, PL_LabelCount };
// Their captions ("首页", "上页", "下页", "末页"; the count label's is the item count).
QString PageLabelCaption(int label);
// "共 n 个".
QString PageCountText(int n);
// The first item after a click on a page label, for a type whose page starts at F and that
// holds n items. Equal to F when the click changes nothing. Pages move by rows of two.
int32_t PageTarget(int label, int32_t F, int n);

// The scroll buttons of the owned-item strip.
enum MeButton : int { MB_Back, MB_Forward };
// The first item shown in the strip after a click on a scroll button (F when nothing changes).
int32_t StripTarget(int button, int32_t F, int n);

// One text line of a catalogue cell.
struct DaoJuTextLine {
    QString text;
    QColor color;
    bool struck = false;
};
inline const QColor kMaketTextColor(0, 0, 0);
inline const QColor kMaketPriceColor(255, 0, 0);
// The seven lines of an item's cell: name (with the pieces sold together when two or more),
// validity, the four prices (the original ones struck through, the current ones red), target.
std::array<DaoJuTextLine, 7> DaoJuCellLines(const DaoJuInfo& d);
// "有效期限：" with hours below a day, else whole days.
QString DaoJuValidityText(int32_t hours);

// The panel's texts: the item's note, or "暂无说明。" without one; the shop's note.
QString DaoJuNoteText(const DaoJuInfo& d);
QString MaketNoteText(const QString& strGameTitle);
// A text cut into lines of n columns (the last one holds the rest): a Chinese or other full-width
// character takes two columns, any other one. None for "".
QStringList WrapText(const QString& text, int n);

// The tool tip of an owned item: name, pieces left, expiry and target.
QString MyDaoJuTip(const MyDaoJu& d);

// The title over the window's band: the game's title followed by " 的道具商城".
QString MaketTitle(const QString& strGameTitle);
