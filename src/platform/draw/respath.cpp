#include "platform/draw/respath.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <sys/stat.h>
#include <time.h>

namespace {

// What a folder held when it was last listed, and the folder's modification time then. Adding,
// removing or renaming an entry changes the folder's modification time, so a listing whose time
// still matches is still right.
struct Listing {
    qint64 mtimeNs = -1;
    // File systems stamp times from a coarse clock (a few milliseconds, seconds on some), so a
    // folder changed again within the same tick keeps its time. A listing taken that soon after
    // the folder's last change is not trusted and is taken again at the next lookup.
    bool settled = false;
    QHash<QString, QString> exact;   // name -> name, for the exact-match test
    QHash<QString, QStringList> folded;  // case-folded name -> the real names, sorted
};

QHash<QString, Listing>& listings()
{
    static QHash<QString, Listing> m;
    return m;
}

bool statPath(const QString& path, struct stat& st)
{
    const QByteArray p = QFile::encodeName(path);
    return ::stat(p.constData(), &st) == 0;
}

constexpr qint64 kSettleNs = 2000000000LL;

qint64 nowNs()
{
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

qint64 mtimeNs(const struct stat& st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// The listing of a folder, refreshed when the folder changed; null when it is not a folder.
const Listing* listingOf(const QString& dir)
{
    struct stat st;
    if (!statPath(dir, st) || !S_ISDIR(st.st_mode)) {
        listings().remove(dir);
        return nullptr;
    }
    const qint64 t = mtimeNs(st);
    auto it = listings().find(dir);
    if (it != listings().end() && it->mtimeNs == t && it->settled)
        return &*it;
    Listing l;
    l.mtimeNs = t;
    l.settled = nowNs() - t > kSettleNs;
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    for (const QString& n : names) {
        l.exact.insert(n, n);
        l.folded[n.toCaseFolded()].append(n);
    }
    // Bound the memory a long session can take: the table reads a few dozen folders.
    if (listings().size() > 512)
        listings().clear();
    return &*listings().insert(dir, std::move(l));
}

QString joinPath(const QString& dir, const QString& name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// Walk the components from folder cur. Each step tries the exact spelling first, then the other
// spellings that differ only in case, and goes back when a later component is not found under
// the one chosen ("res\ResPk" must find "Res/ResPk" even when a "res" folder also exists).
QString walk(const QString& cur, const QStringList& parts, int i, int depth)
{
    if (i == parts.size()) {
        struct stat st;
        return statPath(cur, st) ? cur : QString();
    }
    if (depth > 64)
        return QString();
    const QString& part = parts[i];
    if (part == QLatin1String("."))
        return walk(cur, parts, i + 1, depth);
    if (part == QLatin1String("..")) {
        if (!listingOf(cur))
            return QString();
        int slash = cur.lastIndexOf(QLatin1Char('/'));
        return walk(slash <= 0 ? QStringLiteral("/") : cur.left(slash), parts, i + 1, depth);
    }
    const Listing* l = listingOf(cur);
    if (!l)
        return QString();
    // Copy what is needed: a deeper step may refresh the listings table.
    const bool hasExact = l->exact.contains(part);
    const QStringList others = l->folded.value(part.toCaseFolded());
    if (hasExact) {
        QString r = walk(joinPath(cur, part), parts, i + 1, depth + 1);
        if (!r.isEmpty())
            return r;
    }
    for (const QString& n : others) {
        if (n == part)
            continue;
        QString r = walk(joinPath(cur, n), parts, i + 1, depth + 1);
        if (!r.isEmpty())
            return r;
    }
    return QString();
}

} // namespace

QString ResolvePath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString start = p.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QDir::currentPath();
    return walk(start, p.split(QLatin1Char('/'), Qt::SkipEmptyParts), 0, 0);
}

bool ResFileExists(const QString& path)
{
    const QString r = ResolvePath(path);
    if (r.isEmpty())
        return false;
    struct stat st;
    return statPath(r, st) && S_ISREG(st.st_mode);
}
