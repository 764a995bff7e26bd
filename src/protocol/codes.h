#pragma once
// Every message code and sub-code of the room link, named once. Byte 0 of a message is its code,
// byte 1 its sub-code (or, for most game messages, their first data byte).
#include <cstdint>

// Byte 0.
enum MsgCode : uint8_t {
    GM_CHAT = 1,             // both: a chat message (text from byte 1)
    GM_HANDS = 2,            // both: client asks for its hands; server sends them
    GM_QUIT = 5,             // server: a player cannot go on
    GM_START = 17,           // server: a game begins
    GM_READY = 18,           // both: client is ready; server: a chair is ready
    GM_DEAL = 19,            // both: client asks for its cards; server deals them
    GM_OUTPAI = 20,          // both: a play or a pass
    GM_OUTPAI_REFUSED = 21,  // server: the client's play was refused
    GM_GAME_OVER = 22,       // server: the game ended
    RM_NOTICE = 105,         // server: a notice (text from byte 3)
    RM_USER_STATE = 108,     // server: a user came back, dropped, left watching, was marked
    RM_TABLE_SNAPSHOT = 109, // server: the whole table at once
    RM_USER_OUT = 110,       // both: a user leaves the table
    RM_GAME_SET = 111,       // server: the table settings round
    RM_HAND_UP = 112,        // both: a hand raised; the owner's settings; agreement
    GM_SEE_PAI = 113,        // both: spectators may see a player's cards (client: setting changed)
    RM_ROOM = 130,           // both: hello, users in and out, identity, reset
    GM_DAOJU = 133,          // both: items (catalogue, own items, notices, use; client: buy)
};

// Sub-codes of RM_ROOM (130). The same number means one thing from the server and another from
// the client.
enum RoomSub : uint8_t {
    RM_PANGGUAN_IN = 0,   // server: a spectator came in (one user row)
    RM_HELLO = 0,         // client: the hello
    RM_RESET = 1,         // server: the table is reset
    RM_JOIN_GAME = 1,     // client: joins the coming game (no body)
    RM_USER_LIST = 2,     // server: all users of the table
    RM_IDENTITY = 3,      // server: own name and the viewed player's name
    RM_USER_IN = 4,       // server: a user came in (one user row)
    RM_SHOW_WINDOW = 5,   // server: byte 2 zero shows the window, non-zero hides it
};

// Sub-codes of RM_USER_STATE (108); the body is a user name.
enum UserStateSub : uint8_t {
    RM_USER_BACK = 0,
    RM_USER_DROPPED = 3,
    RM_PANGGUAN_OUT = 4,
    RM_USER_MARK = 6,
};

// Sub-codes the client sends with RM_HAND_UP (112) and RM_USER_OUT (110).
enum HandUpSub : uint8_t {
    RM_GAME_SET_DONE = 0,  // the owner's settings: own name, then the six settings fields
    RM_HAND_UP_REQ = 1,    // own name: agrees to the settings, or asks to join the coming game
};
enum UserOutSub : uint8_t {
    RM_USER_OUT_SUB = 0,   // the only sub-code that counts
};

// Sub-code the client sends with GM_SEE_PAI (113): its spectator setting changed (own name and
// the new value).
enum SeePaiSub : uint8_t {
    GM_SEE_PAI_SETTING = 1,
};

// Sub-codes of GM_DAOJU (133).
enum DaoJuSub : uint8_t {
    DJ_LIST = 0,     // server: the catalogue; client: buy (the item's ID)
    DJ_MY_LIST = 1,  // server: the user's own items
    DJ_NOTICE = 2,   // server: a notice for a box
    DJ_USED = 3,     // server: who used which item on whom (binary)
};

// The card code that stands for a pass in GM_OUTPAI.
inline constexpr uint8_t kPassCode = 254;

// A card the receiver may not see, counted but not named: the partner's hidden hand in GM_HANDS.
inline constexpr uint8_t kHiddenCardCode = 255;
