#pragma once
// Resource paths as the game writes them ("Res\ResPk\Pk0.bmp", "res\Msg1.ico") on a file system
// that minds case: each folder and file name is matched ignoring case.
#include <QString>

// The existing file or folder the path names, matching each component ignoring case and taking
// "\" or "/" as separators; an empty string when nothing matches. Lookups are remembered and
// forgotten when a folder on the way changes.
QString ResolvePath(const QString& path);
// True when ResolvePath finds a regular file.
bool ResFileExists(const QString& path);
