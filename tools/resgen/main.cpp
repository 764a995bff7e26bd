// Writes the table's resource pack: every picture and sound the client loads, drawn or
// synthesised here. Usage: kvrn-resgen <program folder> <its parent folder>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

#include "art.h"

#ifdef KVRN_HAVE_LIBJPEG
#include <cstdlib>
#include <jpeglib.h>
#include <vector>
#endif

namespace {

using namespace resgen;

#ifdef KVRN_HAVE_LIBJPEG
// Best quality, full-resolution colour (4:4:4), exact integer transform.
QByteArray encodeJpeg(const QImage& in)
{
    const QImage img = in.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct ci;
    jpeg_error_mgr em;
    ci.err = jpeg_std_error(&em);
    jpeg_create_compress(&ci);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&ci, &mem, &size);
    ci.image_width = JDIMENSION(img.width());
    ci.image_height = JDIMENSION(img.height());
    ci.input_components = 3;
    ci.in_color_space = JCS_RGB;
    jpeg_set_defaults(&ci);
    jpeg_set_quality(&ci, 100, TRUE);
    ci.dct_method = JDCT_ISLOW;
    for (int i = 0; i < ci.num_components; ++i) {
        ci.comp_info[i].h_samp_factor = 1;
        ci.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&ci, TRUE);
    std::vector<JSAMPLE> row(size_t(img.width()) * 3);
    while (ci.next_scanline < ci.image_height) {
        const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(int(ci.next_scanline)));
        for (int x = 0; x < img.width(); ++x) {
            row[size_t(x) * 3] = JSAMPLE(qRed(s[x]));
            row[size_t(x) * 3 + 1] = JSAMPLE(qGreen(s[x]));
            row[size_t(x) * 3 + 2] = JSAMPLE(qBlue(s[x]));
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&ci, &r, 1);
    }
    jpeg_finish_compress(&ci);
    jpeg_destroy_compress(&ci);
    QByteArray out(reinterpret_cast<const char*>(mem), int(size));
    std::free(mem);
    return out;
}
#endif

// An icon file with one 32-bit image (colour with alpha, plus the 1-bit mask older readers use).
// Written here rather than by the image library so every byte is defined: the same picture
// always gives the same file.
QByteArray encodeIco(const QImage& in)
{
    const QImage img = in.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const quint32 dib = 40 + quint32(w * h * 4) + quint32(maskStride * h);
    QByteArray out;
    auto u8 = [&](int v) { out.append(char(v & 0xff)); };
    auto u16 = [&](int v) { u8(v); u8(v >> 8); };
    auto u32 = [&](quint32 v) { u16(int(v & 0xffff)); u16(int(v >> 16)); };
    u16(0); u16(1); u16(1);                      // reserved, type icon, one image
    u8(w >= 256 ? 0 : w); u8(h >= 256 ? 0 : h);  // size
    u8(0); u8(0);                                // no palette, reserved
    u16(1); u16(32);                             // planes, bits per pixel
    u32(dib); u32(6 + 16);                       // image bytes, offset
    u32(40); u32(quint32(w)); u32(quint32(h * 2)); u16(1); u16(32); u32(0); u32(0); u32(0); u32(0); u32(0); u32(0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            u8(qBlue(c)); u8(qGreen(c)); u8(qRed(c)); u8(qAlpha(c));
        }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) == 0)
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

class DiskOut : public Out {
public:
    DiskOut(QString app, QString parent) : app_(std::move(app)), parent_(std::move(parent)) {}

    void picture(Root root, const QString& rel, const QImage& img) override
    {
        const QString suffix = QFileInfo(rel).suffix().toLower();
        if (suffix == "ico") {
            bytes(root, rel, encodeIco(img));
            return;
        }
#ifdef KVRN_HAVE_LIBJPEG
        if (suffix == "jpg") {
            bytes(root, rel, encodeJpeg(img));
            return;
        }
#endif
        QByteArray data;
        QBuffer buf(&data);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, suffix == "jpg" ? "jpeg" : suffix.toLatin1());
        QImage toSave = img;
        if (suffix == "bmp" || suffix == "jpg")
            toSave = img.convertToFormat(QImage::Format_RGB32);
        if (suffix == "jpg")
            w.setQuality(100);
        if (!w.write(toSave)) {
            std::fprintf(stderr, "resgen: cannot encode %s: %s\n", qPrintable(rel), qPrintable(w.errorString()));
            failed_ = true;
            return;
        }
        bytes(root, rel, data);
    }

    void bytes(Root root, const QString& rel, const QByteArray& data) override
    {
        const QString path = (root == Root::App ? app_ : parent_) + "/" + rel;
        QDir().mkpath(QFileInfo(path).path());
        // Unchanged content is not rewritten: its time stamp stays, and so does every cache
        // entry a running client holds for it.
        QFile old(path);
        if (old.open(QIODevice::ReadOnly) && old.size() == data.size() && old.readAll() == data) {
            ++kept_;
            return;
        }
        old.close();
        QFile f(path + ".part");
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.flush()) {
            std::fprintf(stderr, "resgen: cannot write %s\n", qPrintable(path));
            failed_ = true;
            return;
        }
        f.close();
        QFile::remove(path);
        if (!QFile::rename(path + ".part", path)) {
            std::fprintf(stderr, "resgen: cannot place %s\n", qPrintable(path));
            failed_ = true;
            return;
        }
        ++written_;
    }

    bool failed_ = false;
    int written_ = 0, kept_ = 0;

private:
    QString app_, parent_;
};

// The themes of the pack. A new set of pictures is one function plus one line here; `twice`
// when its pictures are drawn at Scale() and get "@2x" versions.
struct Theme {
    const char* name;
    void (*make)(Out&);
    bool twice;
};
const Theme kThemes[] = {
    {"cards", &MakeCards, true},
    {"table", &MakeTable, true},
    {"figures", &MakeFigures, true},
    {"icons", &MakeIcons, true},
    {"blasts", &MakeBlasts, true},
    {"sounds", &MakeSounds, false},
    {"frame", &MakeFrame, true},
    {"shop", &MakeShop, true},
};

// The 2x pass: every picture made at scale 2 goes out beside its 1x file with "@2x" before
// the suffix. Pictures a theme still makes at 1x only (drawn pixel by pixel in logical
// coordinates) are left out: the client then scales the 1x file itself.
class TwiceOut : public Out {
public:
    explicit TwiceOut(Out& to) : to_(to) {}
    void picture(Root root, const QString& rel, const QImage& img) override
    {
        if (img.devicePixelRatio() != 2.0)
            return;
        const int dot = rel.lastIndexOf(u'.');
        to_.picture(root, rel.left(dot) + QStringLiteral("@2x") + rel.mid(dot), img);
    }
    void bytes(Root, const QString&, const QByteArray&) override {}

private:
    Out& to_;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvrn-resgen <program folder> <parent folder>\n");
        return 2;
    }
    DiskOut out(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    for (const Theme& t : kThemes)
        t.make(out);
    // Every picture gets its 2x version.
    SetScale(2);
    TwiceOut twice(out);
    for (const Theme& t : kThemes)
        if (t.twice)
            t.make(twice);
    SetScale(1);
    std::printf("resgen: %d files written, %d unchanged\n", out.written_, out.kept_);
    return out.failed_ ? 1 : 0;
}
