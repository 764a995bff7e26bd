#pragma once
// Drawing the table: layout, the full repaint and its background, seats, buttons, hands, plays,
// overlays and the blast animation. Every procedure draws into the persistent surface of the
// context; a missing picture is left out without a message and nothing here throws.
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "platform/core/bytearr.h"
#include "platform/draw/imagecache.h"
#include "platform/draw/surface.h"
#include "rules/publicstate.h"
#include "rules/tablestate.h"
#include "tableview/paintstate.h"
#include "tableview/tableviewstate.h"

// Everything a drawing procedure reads or writes.
struct PaintCtx {
    Surface& surf;
    TableState& ts;
    TableViewState& tv;
    PublicState& ps;
    PaintState& p;
    ImageCache& cache;
};

// ---- Layout --------------------------------------------------------------------------------
// The whole layout for the surface's current size: seats, then the card part.
void ComputeLayout(PaintCtx& c);
// The card part alone: size constants, card paths, hand and played-cards origins, option-button
// and time-bar origins. Run again when the table options change the played-cards origins.
void ComputeCardLayout(PaintCtx& c);
// Size (w x h) for the surface: resize it, lay it out, run `afterLayout` (the owner moves the
// time bar there) and repaint it all. Returns what the repaint returns.
bool picGameBack_Resize(PaintCtx& c, int w, int h, const std::function<void()>& afterLayout = {});
// The full repaint; returns at once when one is already running. True when it drew the seats:
// the owner then brings the start button, which sits by the bottom seat, up to date.
bool picGameBack_Paint(PaintCtx& c);
// The ViewPos of a chair (2 for anything out of range).
int ViewPosOf(const PaintCtx& c, int chair);
// Resource path under the program folder ("Res\...").
QString AppRes(const PaintCtx& c, const QString& rel);
// The large figure of an icon number: parent folder & "UserRes\LargeUser\" & (icon Mod 1000) + 1 & ".ico".
QString FigureFilePath(const QString& strParentPath, int32_t iconNo);

// ---- Primitives ----------------------------------------------------------------------------
// Erases to the table colour, and to the table's edges where the box reaches them.
void FillBackRect(PaintCtx& c, int x, int y, int w, int h);
void RestoreBackRect(PaintCtx& c, int x, int y, int w, int h);
// The table background; `fill` false skips the first fill when the surface was just cleared to
// the table colour.
void PaintTableBack(PaintCtx& c, bool fill = true);
// File number of a card's face picture; 255 for no picture.
uint8_t GetPkImageNo(uint8_t card);
// Cards 1..n face up, left to right from (x, y), PkSpace apart; a card without a picture is
// left out and the next ones close up.
void PaintPkRow(PaintCtx& c, const ByteArr& cards, int x, int y, bool normalSet);

// ---- Seats and buttons ---------------------------------------------------------------------
// Figure and name of a chair; `asFree` draws it as if the chair were free (erasing it).
void PaintUserFace(PaintCtx& c, int chair, bool asFree = false);
void PaintNetBreak(PaintCtx& c, int chair);
void PaintHandUp(PaintCtx& c, int chair);
void PaintOptBut(PaintCtx& c, int i);
void PaintOutBut(PaintCtx& c, int i);
void ShowOutBut(PaintCtx& c, bool show);
int HitOptBut(const PaintCtx& c, int x, int y);
int HitOutBut(const PaintCtx& c, int x, int y);
// Left edge and top of play button i for the current GamePhase (false when it is not shown).
bool OutButRect(const PaintCtx& c, int i, int& x, int& y);

// ---- Hands and plays -----------------------------------------------------------------------
// The largest hand, (DeckCount * 54) div 4.
int MaxHandCount(const TableState& ts);
void PaintUserPai(PaintCtx& c, int chair);
void PaintMyPai(PaintCtx& c);
void PaintPartnerPai(PaintCtx& c);
int HitPk(PaintCtx& c, int x, int y);
void RedrawMyPk(PaintCtx& c, int i);
void PaintOutPai(PaintCtx& c, bool previous);
void PaintUserOutPai(PaintCtx& c, int chair);
void ClearUserOutPai(PaintCtx& c, int chair);
void PaintBuChu(PaintCtx& c, int x, int y);
void PaintMingCi(PaintCtx& c, int chair);

// ---- Overlays ------------------------------------------------------------------------------
void PaintTimeBar(PaintCtx& c);
// Draws (true) or erases (false) the clock of the seat named by the time bar's tag and the seconds left.
void PaintClock(PaintCtx& c, bool show);
void PaintGameScore(PaintCtx& c);
void PaintYuPai(PaintCtx& c, int chair);
// The end panel; one score change per ChairNo. Chair 0's change 0 means a drawn round.
void PaintGameOver(PaintCtx& c, const std::array<int32_t, 4>& changes);
void PaintMsgPanel(PaintCtx& c, int x, int y, int w, int h);

// ---- Blast ---------------------------------------------------------------------------------
// Where the blast of `kind` over `chair`'s current play goes; false for a kind other than 1..3.
struct BlastKindInfo {
    QString folder;  // "Res\Bomb\b1\"
    int frames = 0;
    int w = 0, h = 0;
    QColor key;
    int pauseMs = 0;
};
bool GetBlastKind(int kind, BlastKindInfo& kindInfo);
bool BlastPlace(const PaintCtx& c, int chair, int kind, int& x, int& y);
void PlayBlast(PaintCtx& c, int chair, int kind);
// Frame files prefix + two-digit number + suffix, first..last, drawn at (x, y) with `key` left
// out, `pauseMs` after each; the table under them is put back afterwards.
void PlayFrames(PaintCtx& c, const QString& prefix, const QString& suffix, int first, int last, int w, int h,
                QColor key, int pauseMs, int x, int y);
// The frame file name of frame i: prefix + "0" (below 10) + i + suffix.
QString BlastFrameFile(const QString& prefix, const QString& suffix, int i);
