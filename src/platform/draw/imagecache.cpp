#include "platform/draw/imagecache.h"

#include "platform/draw/diskwatch.h"
#include "platform/draw/respath.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <sys/stat.h>
#include <time.h>

namespace {

// Modification time in nanoseconds and size of a regular file; false when it is not one.
// Nanoseconds matter: a picture rewritten twice within one millisecond must still be seen anew.
bool fileStamp(const struct stat& st, qint64& mtime, qint64& size)
{
    if (!S_ISREG(st.st_mode))
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

// Past these a picture is taken for a damaged or hostile file, not a game picture: nothing the
// game draws comes near them, and reading or decoding one would hold the table up for seconds.
constexpr qint64 kMaxPictureBytes = 64LL * 1024 * 1024;
constexpr int kMaxPictureSide = 16384;

// The reader's format from the file's suffix: deciding it from the content would try every
// installed image plugin on the first picture.
QByteArray formatOf(const QString& file)
{
    const QByteArray suffix = QFileInfo(file).suffix().toLower().toLatin1();
    return suffix == "jpg" ? QByteArrayLiteral("jpeg") : suffix;
}

bool sideTooLarge(const QSize& s)
{
    return s.width() > kMaxPictureSide || s.height() > kMaxPictureSide;
}

// The size the file's header announces is beyond any picture of the game (read from the
// header alone).
bool announcesTooLarge(const QString& file)
{
    QImageReader r(file, formatOf(file));
    r.setAutoDetectImageFormat(false);
    return sideTooLarge(r.size());
}

QImage decode(const QByteArray& bytes, const QString& file)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader r(&buf, formatOf(file));
    r.setAutoDetectImageFormat(false);
    if (sideTooLarge(r.size()))
        return QImage();
    QImage img = r.read();
    if (!img.isNull() || buf.size() == 0)
        return img;
    // A file whose content is not what its suffix says (an icon holding a bitmap): the content
    // decides, at the cost of the plugins, for that file only.
    buf.seek(0);
    QImageReader byContent(&buf);
    byContent.setDecideFormatFromContent(true);
    if (sideTooLarge(byContent.size()))
        return QImage();
    return byContent.read();
}

// Which file each decoded picture came from, by the picture's cache key, so that its 2x
// version can be found from the picture alone.
QHash<qint64, QString>& sourceFiles()
{
    static QHash<qint64, QString> files;
    return files;
}

void noteSource(const QImage& img, const QString& file)
{
    if (img.isNull())
        return;
    auto& files = sourceFiles();
    // Pictures replaced on disk leave their old keys behind; a bound keeps that small.
    if (files.size() >= 8192)
        files.clear();
    files.insert(img.cacheKey(), file);
}

QString hiResName(const QString& file)
{
    const int slash = std::max(file.lastIndexOf(u'/'), file.lastIndexOf(u'\\'));
    const int dot = file.lastIndexOf(u'.');
    if (file.contains(QStringLiteral("@2x.")))
        return QString();
    return dot > slash ? file.left(dot) + QStringLiteral("@2x") + file.mid(dot) : file + QStringLiteral("@2x");
}

} // namespace

QImage HiResPicture(const QImage& pic)
{
    if (pic.isNull())
        return QImage();
    const auto it = sourceFiles().constFind(pic.cacheKey());
    if (it == sourceFiles().cend())
        return QImage();
    const QString hiFile = hiResName(*it);
    if (hiFile.isEmpty())
        return QImage();
    ImageCache& cache = ImageCache::instance();
    const QImage hi = pic.hasAlphaChannel() ? cache.getWithAlpha(hiFile) : cache.get(hiFile);
    if (hi.width() != 2 * pic.width() || hi.height() != 2 * pic.height())
        return QImage();
    return hi;
}

QImage PictureForRatio(const QImage& pic, qreal dpr)
{
    if (dpr <= 1.0 || pic.devicePixelRatio() != 1.0)
        return pic;
    const QImage hi = HiResPicture(pic);
    if (hi.isNull())
        return pic;
    // Setting the ratio copies the pixels: kept per decoded picture, so a repaint copies none.
    static QHash<qint64, QImage> withRatio;
    const auto it = withRatio.constFind(hi.cacheKey());
    if (it != withRatio.cend())
        return *it;
    if (withRatio.size() >= 256)
        withRatio.clear();
    QImage out = hi;
    out.setDevicePixelRatio(2.0);
    withRatio.insert(hi.cacheKey(), out);
    return out;
}

void DrawSheetCell(QPainter& p, const QPointF& at, const QImage& sheet, const QRect& cell)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QImage pic = PictureForRatio(sheet, dpr);
    const qreal k = pic.devicePixelRatio();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, dpr != k);
    p.drawImage(QRectF(at, cell.size()), pic, QRectF(cell.x() * k, cell.y() * k, cell.width() * k, cell.height() * k));
    p.restore();
}

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
    const Entry* e = fetch(path);
    return e ? e->img : QImage();
}

QImage ImageCache::getWithAlpha(const QString& path)
{
    const Entry* e = fetch(path);
    if (!e)
        return QImage();
    return e->alpha.isNull() ? e->img : e->alpha;
}

const ImageCache::Entry* ImageCache::fetch(const QString& path)
{
    // While the disk watch reports nothing about the file or the folders on its way, the picture
    // kept for it is still the file's: no need to look at the disk at all.
    const quint64 gen = DiskWatch::instance().generation();
    struct stat st;
    const ResolvedPath found = ResolvePathAt(path, gen, &st);
    const QString& file = found.path;
    if (file.isEmpty())
        return nullptr;
    auto it = map_.find(file);
    if (enabled_ && found.watched && it != map_.end() && it->generation == gen)
        return &*it;
    // Otherwise one look at the file (the resolver's, when it took one).
    ++looks_;
    qint64 mtime = 0, size = -1;
    if (!found.looked) {
        const QByteArray p = QFile::encodeName(file);
        if (::stat(p.constData(), &st) != 0) {
            map_.remove(file);
            return nullptr;
        }
    }
    if (!fileStamp(st, mtime, size) || size > kMaxPictureBytes) {
        // Too large to be a picture of the game: missing, without reading a byte of it.
        map_.remove(file);
        return nullptr;
    }
    const quint64 holdsAt = found.watched ? gen : 0;
    QByteArray bytes;
    bool haveBytes = false;
    if (enabled_) {
        it = map_.find(file);
        if (it != map_.end() && it->mtime == mtime && it->size == size) {
            if (it->settled) {
                it->generation = holdsAt;
                return &*it;
            }
            bytes = readAll(file);
            haveBytes = true;
            if (digestOf(bytes) == it->digest) {
                if (nowNs() - mtime > kSettleNs) {
                    it->settled = true;
                    it->digest.clear();
                }
                it->generation = holdsAt;
                return &*it;
            }
        }
    }
    if (!haveBytes && announcesTooLarge(file)) {
        map_.remove(file);
        return nullptr;
    }
    if (!haveBytes)
        bytes = readAll(file);
    ++decodes_;
    QImage raw = decode(bytes, file);
    Entry e;
    e.mtime = mtime;
    e.size = size;
    e.generation = holdsAt;
    e.settled = nowNs() - mtime > kSettleNs;
    if (!e.settled)
        e.digest = digestOf(bytes);
    if (!raw.isNull()) {
        // Pictures with transparency (icons) keep it for drawing over a background; the plain
        // picture has its see-through parts black, which is what a masked copy expects.
        if (raw.hasAlphaChannel())
            e.alpha = raw.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        e.img = raw.convertToFormat(QImage::Format_RGB32);
        noteSource(e.img, file);
        noteSource(e.alpha, file);
    }
    // Kept even when the cache is off: the entry is what the caller gets.
    return &*map_.insert(file, e);
}
