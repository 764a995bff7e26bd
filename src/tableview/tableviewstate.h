#pragma once
// What the table shows besides the game itself: where each chair sits on the screen, which own
// cards are raised, the states and captions of the buttons, and whether a blast is playing. The
// game (rules/tablestate.h) knows nothing of these; one instance is owned by the client next to
// the table state.
#include <QString>
#include <array>
#include <cstdint>

#include "platform/core/bytearr.h"

struct TableViewState {
    std::array<uint8_t, 4> ViewPosOfChair{};  // ViewPos of each chair: 2 bottom, 3 right, 0 top, 1 left
    ByteArr PaiSelected;                      // same indexes as MyPai: 1 = raised
    std::array<uint8_t, 2> OptButState{};
    std::array<QString, 2> OptButText{QStringLiteral(" 对手里的牌重新排序 "), QStringLiteral(" 查看玩家上一轮的出牌 ")};
    std::array<uint8_t, 3> OutButState{};
    bool BlastRunning = false;
};

// What a new game or a snapshot leaves of the view: buttons hidden with their short captions,
// nothing raised, no blast. Where the chairs sit stays.
void ResetTableView(TableViewState& v);
// Start-up: the same, with the long captions, and nobody viewed yet.
void InitTableView(TableViewState& v);
// One selection flag per card of a hand of `count` cards, none raised.
void ClearSelection(TableViewState& v, int count);
