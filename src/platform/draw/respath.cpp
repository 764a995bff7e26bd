#include "platform/draw/respath.h"

#include "platform/draw/diskwatch.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <sys/stat.h>
#include <time.h>

#include <vector>

namespace {

// File systems stamp times from a coarse clock (a few milliseconds; seconds on some), so a folder
// changed twice within one tick keeps its time. Anything learnt from a folder that changed less
// than this long ago is not trusted and is looked at again next time.
constexpr qint64 kSettleNs = 2000000000LL;

qint64 nowNs()
{
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

bool statPath(const QString& path, struct stat& st)
{
    const QByteArray p = QFile::encodeName(path);
    return ::stat(p.constData(), &st) == 0;
}

qint64 mtimeNs(const struct stat& st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// What a folder held when it was last listed, and the folder's modification time then. Adding,
// removing or renaming an entry changes the folder's modification time, so a listing whose time
// still matches (and had settled) is still right.
struct Listing {
    qint64 mtimeNs = -1;
    bool settled = false;
    QHash<QString, QStringList> folded;   // case-folded name -> the real names, sorted
};

QHash<QString, Listing>& listings()
{
    static QHash<QString, Listing> m;
    return m;
}

// A folder the answer depended on (its listing was read), with its time then.
struct Dep {
    QString dir;
    qint64 mtimeNs;
};

// A remembered answer. Watched: every folder entry it depends on is registered with the disk
// watch, so it holds while the watch's generation is the one it was found at. Otherwise valid
// while every folder it read is unchanged and, when a file was found, that file is still there
// (a removed or renamed folder on the way removes it too).
struct Memo {
    QString result;
    std::vector<Dep> deps;
    bool watched = false;
    quint64 generation = 0;
    bool isFile = false;
};

QHash<QString, Memo>& memos()
{
    static QHash<QString, Memo> m;
    return m;
}

// The listing of a folder, refreshed when the folder changed; null when it is not a folder.
const Listing* listingOf(const QString& dir, std::vector<Dep>& deps, bool& unsettled)
{
    struct stat st;
    if (!statPath(dir, st) || !S_ISDIR(st.st_mode)) {
        listings().remove(dir);
        return nullptr;
    }
    const qint64 t = mtimeNs(st);
    deps.push_back({dir, t});
    auto it = listings().find(dir);
    if (it != listings().end() && it->mtimeNs == t && it->settled)
        return &*it;
    Listing l;
    l.mtimeNs = t;
    l.settled = nowNs() - t > kSettleNs;
    if (!l.settled)
        unsettled = true;
    const QStringList names = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& n : names)
        l.folded[n.toCaseFolded()].append(n);
    // Bound the memory a long session can take: the table reads a few dozen folders.
    if (listings().size() > 512)
        listings().clear();
    return &*listings().insert(dir, std::move(l));
}

QString joinPath(const QString& dir, const QString& name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

QString parentOf(const QString& dir)
{
    const int slash = dir.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : dir.left(slash);
}

// Walk the components from folder cur. Each step takes the exact spelling when it exists, else
// the spellings that differ only in case, and goes back when a later component is not found
// under the one chosen ("res\ResPk" must find "Res/ResPk" even when a "res" folder also exists).
// Each entry looked at is registered with the disk watch first; `watched` turns false when one
// cannot be.
QString walk(const QString& cur, const QStringList& parts, int i, std::vector<Dep>& deps, bool& unsettled,
             bool& watched)
{
    if (i == parts.size())
        return cur;
    const QString& part = parts[i];
    if (part == QLatin1String("."))
        return walk(cur, parts, i + 1, deps, unsettled, watched);
    if (part == QLatin1String("..")) {
        struct stat st;
        if (!statPath(cur, st) || !S_ISDIR(st.st_mode))
            return QString();
        return walk(parentOf(cur), parts, i + 1, deps, unsettled, watched);
    }
    DiskWatch& dw = DiskWatch::instance();
    struct stat st;
    const QString exact = joinPath(cur, part);
    watched = dw.watch(cur, part) && watched;
    if (statPath(exact, st)) {
        const QString r = walk(exact, parts, i + 1, deps, unsettled, watched);
        if (!r.isEmpty())
            return r;
    }
    watched = dw.watch(cur) && watched;
    const Listing* l = listingOf(cur, deps, unsettled);
    if (!l)
        return QString();
    // Copy: a deeper step may refresh the listings table.
    const QStringList others = l->folded.value(part.toCaseFolded());
    for (const QString& n : others) {
        if (n == part)
            continue;
        const QString r = walk(joinPath(cur, n), parts, i + 1, deps, unsettled, watched);
        if (!r.isEmpty())
            return r;
    }
    return QString();
}

// The found file itself is looked at last; its details are left in `st`.
bool memoStillHolds(const Memo& m, struct stat& st, bool& looked)
{
    for (const Dep& d : m.deps)
        if (!statPath(d.dir, st) || mtimeNs(st) != d.mtimeNs)
            return false;
    if (m.result.isEmpty())
        return true;
    looked = statPath(m.result, st);
    return looked;
}

// The answer for a path as of the watch's generation `gen`; `st` is filled (and `looked` set)
// when the file or folder found was looked at on disk on the way.
ResolvedPath resolve(const QString& path, quint64 gen, struct stat& st, bool& looked)
{
    looked = false;
    if (path.isEmpty())
        return {};
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = p.startsWith(QLatin1Char('/'));
    const QString start = absolute ? QStringLiteral("/") : QDir::currentPath();
    const QString key = absolute ? p : start + QLatin1Char('\n') + p;

    auto it = memos().constFind(key);
    if (it != memos().constEnd()) {
        if (it->watched && it->generation == gen)
            return {it->result, it->isFile, true};
        if (!it->watched && memoStillHolds(*it, st, looked))
            return {it->result, looked && S_ISREG(st.st_mode), false};
    }

    std::vector<Dep> deps;
    bool unsettled = false;
    // Relative paths hang on the current folder's own place, which is not watched.
    bool watched = absolute;
    const QString r = walk(start, p.split(QLatin1Char('/'), Qt::SkipEmptyParts), 0, deps, unsettled, watched);
    looked = !r.isEmpty() && statPath(r, st);
    const bool isFile = looked && S_ISREG(st.st_mode);
    if (memos().size() > 4096)
        memos().clear();
    if (watched) {
        memos().insert(key, Memo{r, {}, true, gen, isFile});
    } else if (unsettled) {
        memos().remove(key);
    } else {
        memos().insert(key, Memo{r, std::move(deps), false, 0, false});
    }
    return {r, isFile, watched};
}

} // namespace

ResolvedPath ResolvePathAt(const QString& path, quint64 generation, struct stat* st)
{
    struct stat own;
    bool looked = false;
    ResolvedPath r = resolve(path, generation, st ? *st : own, looked);
    r.looked = looked;
    return r;
}

QString ResolvePath(const QString& path)
{
    struct stat st;
    bool looked = false;
    return resolve(path, DiskWatch::instance().generation(), st, looked).path;
}

bool ResFileExists(const QString& path)
{
    struct stat st;
    bool looked = false;
    const ResolvedPath r = resolve(path, DiskWatch::instance().generation(), st, looked);
    if (r.path.isEmpty())
        return false;
    if (r.watched || looked)
        return r.isFile;
    return statPath(r.path, st) && S_ISREG(st.st_mode);
}
