#include "platform/draw/imagecache.h"

#include "platform/draw/respath.h"

#include <QFile>
#include <QImageReader>
#include <sys/stat.h>

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

QImage decode(const QString& file)
{
    QImageReader r(file);
    r.setDecideFormatFromContent(true);
    QImage img = r.read();
    return img;
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
    if (enabled_) {
        auto it = map_.constFind(file);
        if (it != map_.constEnd() && it->mtime == mtime && it->size == size)
            return it->img;
    }
    ++decodes_;
    QImage raw = decode(file);
    Entry e;
    e.mtime = mtime;
    e.size = size;
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
