#include "platform/draw/respath.h"

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

// A remembered answer: valid while every folder it read is unchanged and, when a file was found,
// that file is still there (a removed or renamed folder on the way removes it too).
struct Memo {
    QString result;
    std::vector<Dep> deps;
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
QString walk(const QString& cur, const QStringList& parts, int i, std::vector<Dep>& deps, bool& unsettled)
{
    if (i == parts.size())
        return cur;
    const QString& part = parts[i];
    if (part == QLatin1String("."))
        return walk(cur, parts, i + 1, deps, unsettled);
    if (part == QLatin1String("..")) {
        struct stat st;
        if (!statPath(cur, st) || !S_ISDIR(st.st_mode))
            return QString();
        return walk(parentOf(cur), parts, i + 1, deps, unsettled);
    }
    struct stat st;
    const QString exact = joinPath(cur, part);
    if (statPath(exact, st)) {
        const QString r = walk(exact, parts, i + 1, deps, unsettled);
        if (!r.isEmpty())
            return r;
    }
    const Listing* l = listingOf(cur, deps, unsettled);
    if (!l)
        return QString();
    // Copy: a deeper step may refresh the listings table.
    const QStringList others = l->folded.value(part.toCaseFolded());
    for (const QString& n : others) {
        if (n == part)
            continue;
        const QString r = walk(joinPath(cur, n), parts, i + 1, deps, unsettled);
        if (!r.isEmpty())
            return r;
    }
    return QString();
}

bool memoStillHolds(const Memo& m)
{
    struct stat st;
    for (const Dep& d : m.deps)
        if (!statPath(d.dir, st) || mtimeNs(st) != d.mtimeNs)
            return false;
    return m.result.isEmpty() || statPath(m.result, st);
}

} // namespace

QString ResolvePath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = p.startsWith(QLatin1Char('/'));
    const QString start = absolute ? QStringLiteral("/") : QDir::currentPath();
    const QString key = absolute ? p : start + QLatin1Char('\n') + p;

    auto it = memos().constFind(key);
    if (it != memos().constEnd() && memoStillHolds(*it))
        return it->result;

    std::vector<Dep> deps;
    bool unsettled = false;
    const QString r = walk(start, p.split(QLatin1Char('/'), Qt::SkipEmptyParts), 0, deps, unsettled);
    if (unsettled) {
        memos().remove(key);
    } else {
        if (memos().size() > 4096)
            memos().clear();
        memos().insert(key, Memo{r, std::move(deps)});
    }
    return r;
}

bool ResFileExists(const QString& path)
{
    const QString r = ResolvePath(path);
    if (r.isEmpty())
        return false;
    struct stat st;
    return statPath(r, st) && S_ISREG(st.st_mode);
}
