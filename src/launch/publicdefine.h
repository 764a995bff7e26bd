#pragma once
// (Re)initialising the shared state: folders, view mapping, start flags, level titles and
// membership names.
#include <QString>

#include "tableview/tableviewstate.h"

struct PublicState;
struct Client;

// The program folder with a trailing separator ("/" unless the path is written with "\" only).
QString AppPathOf(const QString& programDir);
// The folder holding appPath, with its trailing separator. The root folder has no parent: there
// the root itself is used, so resources under the parent still resolve to absolute paths.
QString ParentPathOf(const QString& appPath);

// The membership-level names of levels 0..4.
const QStringList& DefaultMemberNames();

// Folders from programDir; ViewPosOfChair all 0; StartButShown False; level titles rebuilt
// from strLevelInfo; membership names; blnClosing False; TableJoined 0.
void InitPublicState(PublicState& pub, TableViewState& tv, const QString& programDir);

// The same for the client; the program folder is the one already stored in the client, or the
// running program's folder the first time.
void InitPublicState(Client& c);
