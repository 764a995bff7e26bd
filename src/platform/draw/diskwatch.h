#pragma once
// News of changes on disk, so what was learnt from it need not be looked at again. Folders are
// watched through the kernel: an entry of a watched folder added, removed, renamed, written or
// given new times, and the folder itself removed or renamed, is reported the moment it happens,
// and every such change to something an answer depends on moves the generation on.
//
// Whoever learns something from the disk reads the generation first, then registers each folder
// entry the answer depends on (before looking at it), then looks; the answer holds while the
// generation stays the same. Where an entry cannot be watched (no kernel support, the limit of
// watched folders reached), watch() says so and that answer must be checked on disk each time.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class DiskWatch {
public:
    DiskWatch();
    ~DiskWatch();
    DiskWatch(const DiskWatch&) = delete;
    DiskWatch& operator=(const DiskWatch&) = delete;

    // The watch the path resolver and the picture cache share.
    static DiskWatch& instance();

    // Takes in what the kernel reported since the last call; the generation moves on when any of
    // it concerns a registered entry (or when reports were lost).
    quint64 generation();
    // Registers the entry `name` of the folder `dir` (any entry when `name` is empty) and the
    // folder itself. False when they cannot be watched.
    bool watch(const QString& dir, const QString& name = QString());
    // Off: nothing is watched and every answer is checked on disk. For tests and measurements.
    void setEnabled(bool on);
    bool enabled() const { return fd_ >= 0; }
    int watchedFolders() const { return int(folders_.size()); }

private:
    struct Folder {
        QStringList paths;  // the spellings it was registered under
        bool anyEntry = false;
        QSet<QString> names;
    };
    void open();
    void close();
    void forget(int wd);

    int fd_ = -1;
    quint64 generation_ = 1;
    QHash<QString, int> byPath_;
    QHash<int, Folder> folders_;
};
