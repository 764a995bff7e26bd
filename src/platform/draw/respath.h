#pragma once
// Resource paths as the game writes them ("Res\ResPk\Pk0.bmp", "res\Msg1.ico") on a file system
// that minds case: each folder and file name is matched ignoring case.
#include <QString>

// The existing file or folder the path names, matching each component ignoring case and taking
// "\" or "/" as separators; an empty string when nothing matches. Lookups are remembered and
// forgotten when a folder on the way changes (the disk watch tells at once; without it, each
// folder's time is looked at).
QString ResolvePath(const QString& path);
// True when ResolvePath finds a regular file.
bool ResFileExists(const QString& path);

struct stat;

// What ResolvePathAt found.
struct ResolvedPath {
    QString path;            // empty when nothing matches
    bool isFile = false;     // a regular file; known when `unchanged` or `looked`
    bool watched = false;    // holds until the disk watch's generation moves on from the given one
    bool looked = false;     // the file was looked at on the way: its details are in *st
};
// ResolvePath for a caller that keeps what it learnt from the file: `generation` is the disk
// watch's (DiskWatch), read just before. A `watched` answer covers the file too: while the
// generation stays the same, what was learnt from the file after reading it still holds.
ResolvedPath ResolvePathAt(const QString& path, quint64 generation, struct stat* st);
