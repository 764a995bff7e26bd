#include "platform/draw/imagecache.h"

#include "platform/draw/respath.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <sys/stat.h>
#include <time.h>

namespace {

// Modification time in nanoseconds and size of a regular file; false when it is not one.
// Nanoseconds matter: a picture rewritten twice within one millisecond must still be seen anew.
bool fileStamp(const QString& path, qint64& mtime, qint64& size)
{
    struct stat st;
    const QByteArray p = QFile::encodeName(path);
    if (::stat(p.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    mtime = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    size = qint64(st.st_size);
    return true;
}

constexpr qint64 kSettleNs = 2000000000LL;

qint64 nowNs()
{
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray digestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

QImage decode(const QByteArray& bytes, const QString& file)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    // The content decides the format; the suffix is only a hint (".ico" files may hold bitmaps).
    QImageReader r(&buf, QFileInfo(file).suffix().toLower().toLatin1());
    r.setDecideFormatFromContent(true);
    return r.read();
}

} // namespace

ImageCache& ImageCache::instance()
{
    static ImageCache c;
    return c;
}

bool ImageCache::exists(const QString& path)
{
    return ResFileExists(path);
}

QImage ImageCache::get(const QString& path)
{
    const QString file = ResolvePath(path);
    qint64 mtime = 0, size = -1;
    if (file.isEmpty() || !fileStamp(file, mtime, size)) {
        if (!file.isEmpty())
            map_.remove(file);
        return QImage();
    }
    QByteArray bytes;
    bool haveBytes = false;
    if (enabled_) {
        auto it = map_.find(file);
        if (it != map_.end() && it->mtime == mtime && it->size == size) {
            if (it->settled)
                return it->img;
            bytes = readAll(file);
            haveBytes = true;
            if (digestOf(bytes) == it->digest) {
                if (nowNs() - mtime > kSettleNs) {
                    it->settled = true;
                    it->digest.clear();
                }
                return it->img;
            }
        }
    }
    if (!haveBytes)
        bytes = readAll(file);
    ++decodes_;
    QImage raw = decode(bytes, file);
    Entry e;
    e.mtime = mtime;
    e.size = size;
    e.settled = nowNs() - mtime > kSettleNs;
    if (!e.settled)
        e.digest = digestOf(bytes);
    if (!raw.isNull()) {
        // Pictures with transparency (icons) keep it for drawing over a background; the plain
        // picture has its see-through parts black, which is what a masked copy expects.
        if (raw.hasAlphaChannel())
            e.alpha = raw.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        e.img = raw.convertToFormat(QImage::Format_RGB32);
    }
    // Kept even when the cache is off, so getWithAlpha finds the picture just decoded.
    map_.insert(file, e);
    return e.img;
}

QImage ImageCache::getWithAlpha(const QString& path)
{
    const QImage plain = get(path);
    if (plain.isNull())
        return plain;
    auto it = map_.constFind(ResolvePath(path));
    if (it != map_.constEnd() && !it->alpha.isNull())
        return it->alpha;
    return plain;
}
