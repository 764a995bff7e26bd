#pragma once
// The item messages (code 133) and the two lists they carry: the catalogue of items on sale and
// the user's own items, with the item notes from the note file and the buy request.
#include <QByteArray>
#include <QString>
#include <functional>

#include "rules/publicstate.h"
#include "shop/daojustate.h"

// What the item handlers work on: the shop state (and through it the view), the folders and
// the game's title, and the sender of the buy request.
struct DaoJuCtx {
    DaoJuState& st;
    const PublicState& pub;
    // Sends one whole message to the room server; false when nothing was sent.
    std::function<bool(const QByteArray&)> send;
};

// The note file: strAppPath + "Res\DaoJu\DaoJuInfo.ini"; one section "DaoJuInfo_ID_<id>" per
// item with the key "Note".
QString DaoJuNoteFile(const QString& strAppPath);
// Room for one note: at most 1023 bytes of it arrive.
inline constexpr int kDaoJuNoteBuffer = 1024;

// The state before any list arrived: no types, first tabs selected, the window not loaded.
void InitDaoJuMaket(DaoJuState& st);

// The catalogue (133/0, the decoded body). Replaces the catalogue, selects the first tabs, puts
// every page back to its start and regroups the owned items under the new types; repaints an
// open shop window.
void ParseDaoJuList(const DaoJuCtx& c, const QString& body);
// The same with the notes taken from an already read note file.
class ProfileFile;
void ParseDaoJuList(DaoJuState& st, const QString& body, const ProfileFile& notes);

// The owned items (133/1, the decoded body): "ID:count:expiry" triples. A field count that is
// not a multiple of three is ignored (returns false, nothing changes); otherwise the list is
// replaced and an open shop window repainted.
bool ParseMyDaoJuList(const DaoJuCtx& c, const QString& body);
bool ParseMyDaoJuList(DaoJuState& st, const QString& body);

// The note of one item from the note file ("" when the file, the section or the key is missing),
// cut to 1023 bytes, without surrounding spaces.
QString ReadDaoJuNote(const QString& path, int32_t id);
QString DaoJuNoteOf(const ProfileFile& notes, int32_t id);

// The catalogue item in cell 0..3 of the selected type's page, or null for an empty cell.
const DaoJuInfo* DaoJuInCell(const DaoJuState& st, int cell);
// Asks the server to sell the item in cell 0..3 of the current page. Nothing is sent for an
// empty cell; no state changes (the server answers with the new lists). True when sent.
bool BuyDaoJu(const DaoJuCtx& c, int cell);

// The text of an item use: "2 号用户对 0 号用户使用ID号为 5001 的道具".
QString DaoJuUsedText(int fromUser, int toUser, int32_t itemId);

// One received item message: the two lists, the notice box, the item-use box. Other sub-codes
// and malformed messages are ignored.
struct ReceivedMsg;
void HandleDaoJuMsg(const DaoJuCtx& c, const ReceivedMsg& msg);
void HandleDaoJuMsg(const DaoJuCtx& c, const QByteArray& msg);
