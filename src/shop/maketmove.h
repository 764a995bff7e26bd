#pragma once
// Moving the borderless shop window by its top band.
//
// Kept to this one function so the window can be pointed at the shared frame widget's drag
// (StartSystemMove in the frame widget) without touching anything else.
#include <QPoint>

class QWidget;

// Hands a move of the window to the window system, as a press at globalPress on a caption would.
// Where the system does not take it over, the window follows the mouse by itself until the left
// button goes up. A maximised window, or one without a native handle, does not move. True when
// a move started either way.
bool StartMaketMove(QWidget* window, const QPoint& globalPress);
// True while a move that the window follows by itself is running.
bool MaketMoveFollowing(const QWidget* window);
