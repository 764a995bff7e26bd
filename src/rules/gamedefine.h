#pragma once
// Setting up and loading the table state.
#include <QByteArray>
#include <cstdint>

#include "rules/tablestate.h"

// Start-up state: free chairs (no name, unknown figure), nobody viewed, no game, default settings.
void InitGameDefine(TableState& t);

// Clears the game: chairs' game fields, hands, scores and buttons. clearReady also lowers every
// chair's raised hand; otherwise the ready flags survive.
void ResetGameTable(TableState& t, bool clearReady);

// Loads the table snapshot message (byte 0 the message code, byte 2 non-zero when a game runs).
// A message that ends early loads what it holds up to the first missing byte and stops there;
// nothing is read past its end. Returns true when the whole layout was present.
bool LoadTableSnapshot(TableState& t, const uint8_t* msg, int len);
bool LoadTableSnapshot(TableState& t, const QByteArray& msg);
