#pragma once
// The one cache of decoded pictures, keyed by file. A picture is decoded once and kept; a file
// that changed (modification time or size), appeared or disappeared on disk is honoured at the
// next request, so drawing code asks the cache every time and never decodes by itself. The disk
// is looked at only when the disk watch reported a change on the file's way (or cannot watch it).
#include <QHash>
#include <QImage>
#include <QString>

class QPainter;

class ImageCache {
public:
    // The picture of the file the resource path names (resolved ignoring case), converted to
    // RGB32; a null image when the file is missing or unreadable.
    QImage get(const QString& path);
    bool exists(const QString& path);
    // The same picture keeping its transparency (ARGB32 premultiplied) when the file has any,
    // for drawing icons over a background; otherwise as get().
    QImage getWithAlpha(const QString& path);

    // Off: every request decodes the file again (kept for measuring the cache's worth).
    void setEnabled(bool on) { enabled_ = on; }
    int decodeCount() const { return decodes_; }
    // Requests that had to look at the file on disk.
    int diskLooks() const { return looks_; }
    void clear() { map_.clear(); }

    // The cache the drawing code shares.
    static ImageCache& instance();

private:
    struct Entry {
        qint64 mtime = 0;
        qint64 size = -1;
        // The disk watch's generation up to which the entry is known to be the file's; 0 when
        // the file is not watched.
        quint64 generation = 0;
        QImage img;
        QImage alpha;
        // File times come from a coarse clock: a file rewritten within the same tick keeps its
        // time and maybe its size. Until its time is safely in the past, an entry is confirmed
        // by the file's content digest (a read, not a decode).
        bool settled = false;
        QByteArray digest;
    };
    // The entry of the file the path names, brought up to date; null when there is no file.
    const Entry* fetch(const QString& path);

    QHash<QString, Entry> map_;
    bool enabled_ = true;
    int decodes_ = 0;
    int looks_ = 0;
};

// The 2x version of a picture this process's caches decoded: the file of the same name with
// "@2x" before its suffix ("Pk0@2x.bmp" beside "Pk0.bmp"), when it exists and is exactly twice
// the picture's size; else a null image. Only drawing above scale 1 asks, so at scale 1 those
// files are never read.
QImage HiResPicture(const QImage& pic);

// For a painter drawing onto a device of `dpr` device pixels per logical one: the picture's 2x
// version carrying the ratio 2 (a painter draws it at the picture's logical size, a device pixel
// each at 2x) when dpr is above 1 and the version exists; else the picture itself.
QImage PictureForRatio(const QImage& pic, qreal dpr);

// One cell of a picture sheet drawn at `at` (logical pixels), from the sheet's 2x version on a
// device above scale 1; smoothed only where the device's ratio is not the picture's.
void DrawSheetCell(QPainter& p, const QPointF& at, const QImage& sheet, const QRect& cell);
