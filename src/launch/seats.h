#pragma once
// Who sits where: level titles and membership names for the player card, filling the four
// chairs from user rows, and the mapping from chair number to the seat's place on screen
// (2 bottom, 3 right, 0 top, 1 left).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "rules/publicstate.h"
#include "rules/tablestate.h"
#include "tableview/tableviewstate.h"

// Number of fields of one user row and the field positions the chairs read.
constexpr int kUserFieldCount = 16;
constexpr int kUserFieldName = 0;
constexpr int kUserFieldWatched = 4;
constexpr int kUserFieldIconNo = 12;
constexpr int kUserFieldChair = 13;
constexpr int kUserFieldHandUp = 14;
constexpr int kUserFieldDropped = 15;

// What the chair rules need from the user list, the chat and the table drawing. Any hook may be
// empty; an empty drawing hook draws nothing and an empty FindUser finds nobody.
struct SeatHooks {
    // The user's row (sixteen back-quote-separated fields) or "" when not listed.
    std::function<QString(const QString& name)> FindUser;
    // The chat's target list: word "ADD" or "DEL".
    std::function<void(const QString& name, const QString& word)> UpdateTargets;
    // Seat drawing by chair number.
    std::function<void(int chair)> EraseFigure;   // the figure as for a free chair (erases it)
    std::function<void(int chair)> PaintFigure;   // figure and name
    std::function<void(int chair)> PaintDropped;  // network-break mark (drawn or erased)
    std::function<void(int chair)> PaintHandUp;   // raised-hand mark (drawn or erased)
};

// The text without the blanks around it (spaces only: row fields are padded with nothing else).
QString TrimBlanks(const QString& s);

// Level titles from "title_threshold`title_threshold`...".
void ParseLevelInfo(PublicState& ps, const QString& strLevelInfo);
QString LevelTitle(const PublicState& ps, int32_t level);
QString MemberName(const PublicState& ps, int32_t iconNo);

// The chair number a row claims (field 13 Mod 4), or -1 when the value gives no chair.
int ChairOfRow(const QStringList& fields);
// A player's row seats the player on the chair it names and redraws that figure. A row with
// another field count or a spectator's row changes nothing. Returns the chair filled or -1.
int SeatUserFromRow(TableState& ts, const QStringList& fields, const SeatHooks& hooks);
int SeatUserFromRow(TableState& ts, const QString& row, const SeatHooks& hooks);

// Rebuilds the chairs from the user list after the list was loaded: `names` are all users of the
// table joined with back-quotes.
void RebuildChairs(TableState& ts, TableViewState& tv, const PublicState& ps, const QString& names, const SeatHooks& hooks);

// Recomputes bteMyChair, ViewPosOfChair and blnPangGuan from strViewOwner; an unseated viewed
// user leaves them as they are. Returns false in that case.
bool ComputeViewPositions(TableState& ts, TableViewState& tv, const PublicState& ps);

// The chair whose Name equals `name` exactly (lowest first), or 4. An empty name is nobody.
int FindChair(const TableState& ts, const QString& name);
