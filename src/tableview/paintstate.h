#pragma once
// The drawing state of the table: the layout computed from the surface size (seat anchors, hand
// and played-cards origins, button origins), the card size constants, the clock display values
// and the flags that guard the full repaint against re-entry.
#include <QHash>
#include <QImage>
#include <vector>
#include <QString>
#include <array>
#include <functional>

// The table colour every erase uses.
inline const QColor kTableBackColor(16, 81, 115);

// No chair is being timed by the turn clock.
inline constexpr int kNoTimedChair = -1;

struct PaintState {
    // Surface size the layout was computed for.
    int W = 0;
    int H = 0;
    // Width of the whole screen in pixels, which picks the played-cards layout (at most 800 or
    // more). 0: ask the primary screen at layout time (the surface width when there is none).
    int ScreenWidthPx = 0;

    // Card sizes of rows drawn with the first set...
    int PkWidth = 80;
    int PkHeight = 105;
    int PkSpace = 18;
    int PkUpSpace = 24;  // how far a selected card is raised; also the side columns' step
    QString strPkPath;       // folder of the card faces, "Res\ResPk\"
    QString strPkMaskPath;   // the common card mask
    // ...and the second set, used by the plays in the table centre. Equal values, kept apart.
    int PkWidth2 = 80;
    int PkHeight2 = 105;
    int PkSpace2 = 18;
    int PkUpSpace2 = 24;
    QString strPkPath2;
    QString strPkMaskPath2;
    // Each set's face files by picture number, for the folder they were made for (a repaint
    // asks for a hundred faces).
    std::array<QString, 2> PkFaceFolder;
    std::array<std::array<QString, 54>, 2> PkFacePaths;

    // Per ViewPos 0 top, 1 left, 2 bottom, 3 right.
    std::array<int, 4> SeatX{}, SeatY{};          // top-left of the 32 x 32 figure
    std::array<int, 4> NameX{}, NameY{};          // name text origin
    std::array<int, 4> NetBreakX{}, NetBreakY{};  // network-break mark
    std::array<int, 4> HandUpX{}, HandUpY{};      // raised-hand mark
    std::array<int, 4> PaiX{}, PaiY{};            // hand origin
    std::array<int, 4> OutPaiX{}, OutPaiY{};      // played-cards origin

    // Option buttons (44 x 24) at the bottom right: left and top of button 0, 29 apart.
    int OptButCount = 2;
    int OptButX = 0;
    int OptButY = 0;
    // Time bar: head picture origin and where the bar control goes.
    int TimeBarX = 18;
    int TimeBarY = 20;
    int YuClockX = 70;
    int YuClockY = 20;
    int YuClockWidth = 120;

    // False while a full repaint runs: incremental erases are skipped then (the surface was just
    // cleared). True otherwise.
    bool blnTableDrawn = true;
    // A repaint is running: a repaint requested meanwhile returns at once.
    bool blnPaintRunning = false;
    // Full repaints so far: a blast whose table was drawn anew under it stops (what it kept of the
    // table is stale).
    uint32_t FullPaints = 0;

    // The turn clock display: the chair being timed (set by the round while a time bar is there
    // to time it) and the ticks counted since the turn started.
    int TimedChair = kNoTimedChair;
    int ClockTicks = 0;

    // The network-break mark's picture; when null, Res\NetBreak.bmp is drawn if present.
    QImage imgNetBreak;

    // Pictures already fetched during the drawing call that is running (a full repaint asks for
    // each file once); emptied when the outermost such call ends.
    QHash<QString, QImage> ImageMemo;
    int ImageMemoDepth = 0;
    bool ImageMemoOn = true;  // off: every draw asks the cache (for measuring)
    // The table's four edges as last drawn piece by piece (some 1,200 small copies on a large
    // table), kept with the surface size and the pictures they were drawn from so later
    // repaints copy four bands instead.
    struct TableEdges {
        int W = -1, H = -1;
        qint64 mid = 0, vs = 0, hs = 0, jiao = 0;  // the pictures' cache keys
        int topH = 0, bottomH = 0, leftW = 0, rightW = 0;
        QImage top, bottom, left, right;
    } Edges;
    // Which columns and rows of the card mask let the table show through (any pixel not black),
    // for the mask picture with the key below.
    qint64 MaskProfileKey = 0;
    std::vector<bool> MaskLeakCols, MaskLeakRows;
};
