#include "platform/draw/imagecache.h"
#include "platform/draw/respath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <fcntl.h>

namespace {

void writeBmp(const QString& path, int w, int h, QRgb c)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    ASSERT_TRUE(i.save(path, "BMP")) << path.toStdString();
}

// Move a file's modification time so a rewrite within the same clock tick is still seen.
void setMtime(const QString& path, time_t t)
{
    struct utimbuf u{t, t};
    ::utime(QFile::encodeName(path).constData(), &u);
}

struct Tree {
    QTemporaryDir tmp;
    QString root() const { return tmp.path(); }
    Tree()
    {
        QDir(root()).mkpath(QStringLiteral("Res/ResPk"));
        QDir(root()).mkpath(QStringLiteral("res"));
    }
};

} // namespace

TEST(ResolvePath, MatchesEachComponentIgnoringCase)
{
    Tree t;
    writeBmp(t.root() + "/Res/ResPk/Pk0.bmp", 2, 2, qRgb(1, 2, 3));
    writeBmp(t.root() + "/res/Msg1.ico.bmp", 1, 1, 0);
    const QString want = t.root() + "/Res/ResPk/Pk0.bmp";
    const char* spellings[] = {"\\Res\\ResPk\\Pk0.bmp", "/res/respk/PK0.BMP", "\\RES\\\\resPK//pk0.Bmp",
                               "/./Res/ResPk/../ResPk/Pk0.bmp"};
    for (const char* s : spellings)
        EXPECT_EQ(ResolvePath(t.root() + QString::fromLatin1(s)), want) << s;
    EXPECT_TRUE(ResFileExists(t.root() + "\\RES\\RESPK\\PK0.BMP"));
    EXPECT_FALSE(ResFileExists(t.root() + "\\Res\\ResPk"));            // a folder, not a file
    EXPECT_EQ(ResolvePath(t.root() + "\\Res\\ResPk"), t.root() + "/Res/ResPk");
    EXPECT_EQ(ResolvePath(t.root() + "\\Res\\ResPk\\Pk255.bmp"), QString());
    EXPECT_EQ(ResolvePath(t.root() + "\\Nope\\Pk0.bmp"), QString());
    EXPECT_EQ(ResolvePath(QString()), QString());
}

TEST(ResolvePath, PrefersTheExactSpelling)
{
    Tree t;
    // "Res" and "res" both exist: each spelling finds its own folder.
    writeBmp(t.root() + "/Res/a.bmp", 1, 1, 0);
    writeBmp(t.root() + "/res/a.bmp", 1, 1, 0);
    EXPECT_EQ(ResolvePath(t.root() + "/res/a.bmp"), t.root() + "/res/a.bmp");
    EXPECT_EQ(ResolvePath(t.root() + "/Res/a.bmp"), t.root() + "/Res/a.bmp");
    // Neither spelled exactly: one of them, the same every time.
    const QString r = ResolvePath(t.root() + "/RES/A.BMP");
    EXPECT_FALSE(r.isEmpty());
    EXPECT_EQ(ResolvePath(t.root() + "/RES/A.BMP"), r);
}

TEST(ResolvePath, SeesFilesAddedRemovedAndRenamed)
{
    Tree t;
    const QString dir = t.root() + "/Res/ResPk";
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pkback.bmp"));
    writeBmp(dir + "/PkBack.bmp", 1, 1, 0);
    EXPECT_TRUE(ResFileExists(t.root() + "\\res\\respk\\pkback.bmp"));
    ASSERT_TRUE(QFile::rename(dir + "/PkBack.bmp", dir + "/PKBACK2.BMP"));
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pkback.bmp"));
    EXPECT_EQ(ResolvePath(t.root() + "\\res\\respk\\pkback2.bmp"), dir + "/PKBACK2.BMP");
    ASSERT_TRUE(QFile::remove(dir + "/PKBACK2.BMP"));
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pkback2.bmp"));
}

TEST(ResolvePath, RemembersAnswersUntilAFolderChanges)
{
    Tree t;
    const QString dir = t.root() + "/Res/ResPk";
    writeBmp(dir + "/PK1.BMP", 1, 1, 0);
    const time_t old = time(nullptr) - 100;
    auto age = [&] {
        for (const QString& d : {dir, t.root() + "/Res", t.root()})
            setMtime(d, old);
    };
    age();
    // Found by case: remembered, and still right after many asks.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ResolvePath(t.root() + "\\res\\respk\\pk1.bmp"), dir + "/PK1.BMP");
    // The exact spelling appears: it is preferred from now on.
    writeBmp(dir + "/pk1.bmp", 1, 1, 0);
    EXPECT_EQ(ResolvePath(t.root() + "\\Res\\ResPk\\pk1.bmp"), dir + "/pk1.bmp");
    age();
    // A missing file is remembered as missing until it is added.
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pk2.bmp"));
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pk2.bmp"));
    writeBmp(dir + "/Pk2.bmp", 1, 1, 0);
    EXPECT_TRUE(ResFileExists(t.root() + "\\res\\respk\\pk2.bmp"));
    age();
    // A remembered file that is removed is gone at once.
    EXPECT_TRUE(ResFileExists(t.root() + "\\res\\respk\\pk2.bmp"));
    ASSERT_TRUE(QFile::remove(dir + "/Pk2.bmp"));
    setMtime(dir, old);   // even if the folder's time were to look unchanged
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pk2.bmp"));
    // A whole folder renamed under a remembered answer.
    age();
    EXPECT_TRUE(ResFileExists(t.root() + "\\res\\respk\\pk1.bmp"));
    ASSERT_TRUE(QDir(t.root() + "/Res").rename("ResPk", "Cards"));
    EXPECT_FALSE(ResFileExists(t.root() + "\\res\\respk\\pk1.bmp"));
    EXPECT_TRUE(ResFileExists(t.root() + "\\res\\CARDS\\pk1.bmp"));
}

TEST(ResolvePath, RelativePathsStartInTheCurrentFolder)
{
    Tree t;
    writeBmp(t.root() + "/Res/move0M.bmp", 1, 1, 0);
    const QString old = QDir::currentPath();
    QDir::setCurrent(t.root() + "/Res");
    EXPECT_TRUE(ResFileExists("MOVE0m.BMP"));
    QDir::setCurrent(old);
}

TEST(ImageCache, DecodesAnUnchangedFileOnce)
{
    Tree t;
    ImageCache c;
    writeBmp(t.root() + "/Res/a.bmp", 3, 2, qRgb(10, 20, 30));
    for (int i = 0; i < 5; ++i) {
        QImage img = c.get(t.root() + "\\RES\\A.BMP");
        ASSERT_EQ(img.size(), QSize(3, 2));
        EXPECT_EQ(img.format(), QImage::Format_RGB32);
        EXPECT_EQ(img.pixel(2, 1) & 0xffffff, 0x0a141eu);
    }
    EXPECT_EQ(c.decodeCount(), 1);
    // A second spelling of the same file shares the entry.
    c.get(t.root() + "/res/a.bmp");
    EXPECT_EQ(c.decodeCount(), 1);
}

TEST(ImageCache, HonoursChangedAddedAndRemovedFiles)
{
    Tree t;
    ImageCache c;
    const QString f = t.root() + "/Res/b.bmp";
    const QString asked = t.root() + "\\res\\B.bmp";
    EXPECT_TRUE(c.get(asked).isNull());        // not there yet
    EXPECT_FALSE(c.exists(asked));
    writeBmp(f, 4, 4, qRgb(255, 0, 0));
    setMtime(f, 1000000);
    ASSERT_FALSE(c.get(asked).isNull());       // added
    EXPECT_EQ(c.get(asked).pixel(0, 0) & 0xffffff, 0xff0000u);
    const int n = c.decodeCount();

    writeBmp(f, 4, 4, qRgb(0, 255, 0));         // same size, new time
    setMtime(f, 2000000);
    EXPECT_EQ(c.get(asked).pixel(0, 0) & 0xffffff, 0x00ff00u);
    EXPECT_EQ(c.decodeCount(), n + 1);

    writeBmp(f, 5, 4, qRgb(0, 0, 255));         // new size, time put back: size alone tells
    setMtime(f, 2000000);
    EXPECT_EQ(c.get(asked).size(), QSize(5, 4));
    EXPECT_EQ(c.decodeCount(), n + 2);

    ASSERT_TRUE(QFile::remove(f));              // removed
    EXPECT_TRUE(c.get(asked).isNull());
    EXPECT_FALSE(c.exists(asked));
}

TEST(ImageCache, SeesARewriteWithinTheSameClockTick)
{
    Tree t;
    ImageCache c;
    const QString f = t.root() + "/Res/c.bmp";
    writeBmp(f, 4, 4, qRgb(255, 0, 0));
    struct stat st0;
    ASSERT_EQ(::stat(QFile::encodeName(f).constData(), &st0), 0);
    EXPECT_EQ(c.get(f).pixel(1, 1) & 0xffffff, 0xff0000u);
    writeBmp(f, 4, 4, qRgb(0, 0, 255));
    // Same size and, as a coarse file clock would leave it, the very same time stamp.
    struct timespec ts[2] = {st0.st_atim, st0.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(f).constData(), ts, 0), 0);
    EXPECT_EQ(c.get(f).pixel(1, 1) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(c.get(f).pixel(1, 1) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(c.decodeCount(), 2);
}

TEST(ImageCache, UnreadableFileIsNullAndNotFatal)
{
    Tree t;
    ImageCache c;
    QFile g(t.root() + "/Res/junk.bmp");
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("BM this is not a picture");
    g.close();
    EXPECT_TRUE(c.get(t.root() + "/Res/junk.bmp").isNull());
    EXPECT_TRUE(c.get(t.root() + "/Res/junk.bmp").isNull());
    EXPECT_EQ(c.decodeCount(), 1);             // a bad file is not retried until it changes
}

TEST(ImageCache, DisabledDecodesEveryTime)
{
    Tree t;
    ImageCache c;
    c.setEnabled(false);
    writeBmp(t.root() + "/Res/a.bmp", 3, 2, 0);
    for (int i = 0; i < 4; ++i)
        c.get(t.root() + "/Res/a.bmp");
    EXPECT_EQ(c.decodeCount(), 4);
}

TEST(ImageCache, IconsKeepTheirTransparencyOnRequest)
{
    Tree t;
    ImageCache c;
    QImage ico(32, 32, QImage::Format_ARGB32);
    ico.fill(Qt::transparent);
    ico.setPixel(5, 5, qRgba(255, 255, 0, 255));
    ASSERT_TRUE(ico.save(t.root() + "/res/Msg0.ico", "ICO"));
    QImage plain = c.get(t.root() + "\\RES\\msg0.ICO");
    ASSERT_EQ(plain.size(), QSize(32, 32));
    EXPECT_EQ(plain.pixel(5, 5) & 0xffffff, 0xffff00u);
    EXPECT_EQ(plain.pixel(0, 0) & 0xffffff, 0u);    // see-through parts black for masked copies
    QImage a = c.getWithAlpha(t.root() + "\\RES\\msg0.ICO");
    EXPECT_TRUE(a.hasAlphaChannel());
    EXPECT_EQ(qAlpha(a.pixel(0, 0)), 0);
    EXPECT_EQ(c.decodeCount(), 1);
}

// The cache's worth: drawing a table full of cards asks for the same few dozen pictures over and
// over; with the cache on, an unchanged picture costs a few file-time checks instead of a decode
// (what that saves is measured in kvrn-render-bench).
TEST(ImageCache, RepeatedRequestsDecodeEachPictureOnce)
{
    Tree t;
    QImage face(80, 105, QImage::Format_RGB32);
    for (int y = 0; y < 105; ++y)
        for (int x = 0; x < 80; ++x)
            face.setPixel(x, y, qRgb(x * 3, y * 2, (x * y) & 255));
    QStringList paths;
    for (int n = 0; n < 55; ++n) {
        ASSERT_TRUE(face.save(t.root() + QStringLiteral("/Res/ResPk/Pk%1.bmp").arg(n), "BMP"));
        paths << t.root() + QStringLiteral("\\Res\\ResPk\\Pk%1.bmp").arg(n);
    }
    // Pictures on disk are normally old; files written a moment ago are checked more closely
    // (see SeesARewriteWithinTheSameClockTick), which is not what is counted here.
    const time_t old = time(nullptr) - 100;
    for (int n = 0; n < 55; ++n)
        setMtime(t.root() + QStringLiteral("/Res/ResPk/Pk%1.bmp").arg(n), old);
    for (const char* d : {"/Res/ResPk", "/Res", ""})
        setMtime(t.root() + QLatin1String(d), old);
    auto run = [&](ImageCache& c, int rounds) {
        qint64 sum = 0;
        for (int r = 0; r < rounds; ++r)
            for (const QString& p : paths)
                sum += c.get(p).width();
        EXPECT_EQ(sum, qint64(rounds) * paths.size() * 80);
    };
    ImageCache on, off;
    off.setEnabled(false);
    run(on, 10);
    run(off, 10);
    EXPECT_EQ(on.decodeCount(), 55);
    EXPECT_EQ(off.decodeCount(), 550);
}

namespace {

// Bytes this process has read through system calls so far.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

// A picture file: a w x h BMP, then grown (sparse) to `size` bytes when that is larger.
void writeGrownBmp(const QString& path, int w, int h, qint64 size)
{
    writeBmp(path, w, h, qRgb(9, 8, 7));
    QFile f(path);
    if (size > f.size())
        ASSERT_TRUE(f.resize(size));
}

} // namespace

// Files too large to be game pictures read as missing, found from the file's size or its header
// alone; just inside the limits they are pictures as any other.
TEST(ImageCache, OversizedFilesAreMissingWithoutBeingRead)
{
    const qint64 MiB = 1024 * 1024;
    struct Case {
        const char* name;
        int w, h;
        qint64 size;
        bool shown;
    };
    const Case cases[] = {
        {"grown_past_64MiB.bmp", 2, 2, 64 * MiB + 1, false},
        {"wide_header.bmp", 16385, 1, 0, false},
        {"tall_header.bmp", 1, 16385, 0, false},
        {"widest_allowed.bmp", 16384, 1, 0, true},
        {"small.bmp", 3, 2, 0, true},
    };
    Tree t;
    for (const Case& c : cases) {
        const QString file = t.root() + "/Res/" + c.name;
        writeGrownBmp(file, c.w, c.h, c.size);
        ImageCache cache;
        const qint64 before = bytesRead();
        const QImage img = cache.get(file);
        const qint64 read = bytesRead() - before;
        EXPECT_EQ(!img.isNull(), c.shown) << c.name;
        if (c.shown) {
            EXPECT_EQ(img.size(), QSize(c.w, c.h)) << c.name;
            continue;
        }
        EXPECT_TRUE(cache.getWithAlpha(file).isNull()) << c.name;
        EXPECT_EQ(cache.decodeCount(), 0) << c.name;
        ASSERT_GE(before, 0);
        EXPECT_LT(read, 1 * MiB) << c.name;
        // Put right, the file is a picture again.
        QFile::remove(file);
        writeBmp(file, 4, 4, qRgb(1, 2, 3));
        EXPECT_EQ(cache.get(file).size(), QSize(4, 4)) << c.name;
        QFile::remove(file);
    }
}

// A 24-bit BMP of one colour, written by hand: saving through the toolkit would load the image
// plugins itself.
QByteArray bmpBytes(int w, int h, QRgb c)
{
    const int row = (w * 3 + 3) / 4 * 4;
    QByteArray b;
    auto u16 = [&](int v) { b.append(char(v & 255)).append(char((v >> 8) & 255)); };
    auto u32 = [&](int v) { u16(v & 0xffff); u16((v >> 16) & 0xffff); };
    b.append("BM");
    u32(54 + row * h); u32(0); u32(54);
    u32(40); u32(w); u32(h); u16(1); u16(24); u32(0); u32(row * h); u32(2835); u32(2835); u32(0); u32(0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        b.append(QByteArray(row - w * 3, '\0'));
    }
    return b;
}

// A picture is decoded by its suffix: a BMP loads none of the image plugins (each would be
// loaded and asked in turn if the content decided); a file whose content is not what its suffix
// says is still read.
TEST(ImageCacheDeathTest, BitmapsLoadNoImagePlugin)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Tree t;
    for (const char* name : {"/Res/a.bmp", "/Res/b.png"}) {
        QFile f(t.root() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bmpBytes(3, 2, qRgb(4, 5, 6)));
    }
    const QString root = t.root();
    EXPECT_EXIT(
        {
            ImageCache c;
            const bool ok = c.get(root + "/Res/a.bmp").pixel(2, 1) == qRgb(4, 5, 6);
            QFile maps(QStringLiteral("/proc/self/maps"));
            maps.open(QIODevice::ReadOnly);
            const bool plugins = maps.readAll().contains("imageformats");
            // The mislabelled file goes through the plugins, and reads.
            const bool mislabelled = c.get(root + "/Res/b.png").pixel(2, 1) == qRgb(4, 5, 6);
            std::exit(ok && !plugins && mislabelled ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
