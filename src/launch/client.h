#pragma once
// Everything the running client keeps: one member per module's state. The main window owns one
// Client; tests build their own.
#include <QByteArray>
#include <functional>

#include "launch/userrows.h"
#include "msgbox/msgpool.h"
#include "platform/draw/surface.h"
#include "round/roundstate.h"
#include "rules/publicstate.h"
#include "rules/tablestate.h"
#include "settings/usersetstate.h"
#include "shop/daojustate.h"
#include "tableview/paintstate.h"
#include "tableview/tableviewstate.h"

class RoomView;

struct Client {
    PublicState pub;
    TableState tbl;
    // How the table is shown: seat places, raised cards, buttons, the blast.
    TableViewState tv;
    UserSetState userSet;
    MsgPool msgPool;
    DaoJuState daoJu;
    RoundState round;
    // The users of the table, in the user list's order.
    UserRows users;
    // The table: its persistent picture and the drawing state laid out from its size.
    Surface surf;
    PaintState paint;

    // What the room messages draw on: the main window's view while it exists, else nothing.
    RoomView* roomView = nullptr;

    // Sends one whole message to the room server; set by the main window once the link exists.
    // Returns false when nothing was sent.
    std::function<bool(const QByteArray&)> sendHook;

    bool SendData(const QByteArray& msg) const { return sendHook ? sendHook(msg) : false; }
};
