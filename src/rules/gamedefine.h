#pragma once
// Setting up and loading the table state.
#include <QByteArray>
#include <cstdint>

#include "rules/tablestate.h"

// Start-up state: free chairs (no name, unknown figure), nobody viewed, no game, default settings.
// It is the reset below with clearReady, plus the room fields.
void InitGameDefine(TableState& t);

// Clears the game: chairs' game fields, hands and scores. clearReady also lowers every chair's
// raised hand; otherwise the ready flags survive. The client resets its view with it
// (tableview/tableviewstate.h).
void ResetGameTable(TableState& t, bool clearReady);

// Loads a decoded table snapshot. A message that ended early (or held a value out of its range)
// loads what it holds up to that field and stops there. Returns true when the whole layout was
// present.
struct TableSnapshotMsg;
bool LoadTableSnapshot(TableState& t, const TableSnapshotMsg& s);
// The same from the message's bytes (byte 0 the message code, byte 2 non-zero when a game runs).
bool LoadTableSnapshot(TableState& t, const uint8_t* msg, int len);
bool LoadTableSnapshot(TableState& t, const QByteArray& msg);
