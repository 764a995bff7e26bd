// The disk watch and what rests on it: the path resolver and the picture cache trust what they
// learnt until a change is reported, and still see every change at once; without the watch they
// look at the disk every time, as before.
#include "platform/draw/diskwatch.h"
#include "platform/draw/imagecache.h"
#include "platform/draw/respath.h"
#include "support/watchsettle.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

void writeBmp(const QString& path, int w, int h, QRgb c)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    ASSERT_TRUE(i.save(path, "BMP")) << path.toStdString();
}

// Puts the file's times back as they were: a rewrite a coarse file clock would not show.
void keepTimes(const QString& path, const struct stat& st0)
{
    struct timespec ts[2] = {st0.st_atim, st0.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), ts, 0), 0);
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs with the shared watch on or off, and leaves it on.
struct WatchMode {
    explicit WatchMode(bool on) { DiskWatch::instance().setEnabled(on); }
    ~WatchMode() { DiskWatch::instance().setEnabled(true); }
};

struct Tree {
    QTemporaryDir tmp;
    QString root() const { return tmp.path(); }
    Tree() { QDir(root()).mkpath(QStringLiteral("Res/ResPk")); }
};

} // namespace

// Which changes move the generation on: those of a registered entry, of any entry of a folder
// registered whole, and the folder itself going; not those of other entries.
TEST(DiskWatch, GenerationMovesOnForRegisteredEntriesOnly)
{
    Tree t;
    DiskWatch w;
    ASSERT_TRUE(w.enabled());
    const QString dir = t.root() + "/Res/ResPk", whole = t.root() + "/Res";
    writeBmp(dir + "/Pk1.bmp", 2, 2, 0);
    writeBmp(dir + "/Other.bmp", 2, 2, 0);
    ASSERT_TRUE(w.watch(dir, "Pk1.bmp"));
    // The writes above are reported to a watch registered after them only if they were still on
    // their way; whatever of them comes, it comes before the mark's report.
    ASSERT_TRUE(testsupport::SettleDiskWatch(w, dir));
    ASSERT_TRUE(w.watch(whole));
    const struct Case {
        const char* what;
        std::function<void()> change;
        bool moves;
    } cases[] = {
        {"another entry written", [&] { writeBmp(dir + "/Other.bmp", 3, 3, 0); }, false},
        {"another entry added", [&] { writeBmp(dir + "/New.bmp", 1, 1, 0); }, false},
        {"the entry rewritten", [&] { writeBmp(dir + "/Pk1.bmp", 2, 2, qRgb(1, 1, 1)); }, true},
        {"the entry's times", [&] { keepTimes(dir + "/Pk1.bmp", statOf(dir + "/Other.bmp")); }, true},
        {"the entry renamed away", [&] { QFile::rename(dir + "/Pk1.bmp", dir + "/Pk9.bmp"); }, true},
        {"the entry renamed back", [&] { QFile::rename(dir + "/Pk9.bmp", dir + "/Pk1.bmp"); }, true},
        {"the entry removed", [&] { QFile::remove(dir + "/Pk1.bmp"); }, true},
        {"the entry added", [&] { writeBmp(dir + "/Pk1.bmp", 2, 2, 0); }, true},
        {"any entry of a whole folder", [&] { writeBmp(whole + "/x.bmp", 1, 1, 0); }, true},
        {"a folder in a whole folder", [&] { QDir(whole).mkdir("Sub"); }, true},
        {"nothing", [] {}, false},
        {"the folder renamed", [&] { QDir(whole).rename("ResPk", "Cards"); }, true},
    };
    for (const Case& c : cases) {
        const quint64 before = w.generation();
        c.change();
        EXPECT_EQ(w.generation() != before, c.moves) << c.what;
    }
    // The renamed folder is no longer watched under its old name.
    const quint64 before = w.generation();
    writeBmp(whole + "/Cards/Pk1.bmp", 4, 4, 0);
    EXPECT_EQ(w.generation(), before);
    EXPECT_EQ(w.watchedFolders(), 1);
}

TEST(DiskWatch, OffWatchesNothing)
{
    Tree t;
    DiskWatch w;
    w.setEnabled(false);
    EXPECT_FALSE(w.enabled());
    EXPECT_FALSE(w.watch(t.root()));
    const quint64 g = w.generation();
    EXPECT_EQ(w.generation(), g);
    w.setEnabled(true);
    EXPECT_TRUE(w.watch(t.root()));
}

// Asking for an unchanged picture again and again does not look at the disk while the watch is
// on; every request looks without it. Either way a change is seen at the next request.
TEST(DiskWatch, CacheLooksAtTheDiskOnlyAfterAChange)
{
    for (bool on : {true, false}) {
        WatchMode mode(on);
        Tree t;
        ImageCache c;
        const QString file = t.root() + "/Res/ResPk/Pk3.bmp";
        const QString asked = t.root() + "\\res\\respk\\PK3.BMP";
        writeBmp(file, 4, 4, qRgb(255, 0, 0));
        ASSERT_FALSE(c.get(asked).isNull());
        // A late report of the write would be one more look below: it comes before the mark's.
        if (on) ASSERT_TRUE(testsupport::SettleDiskWatch(DiskWatch::instance(), t.root() + "/Res/ResPk"));
        c.get(asked);
        const int looks = c.diskLooks();
        for (int i = 0; i < 100; ++i) ASSERT_EQ(c.get(asked).pixel(0, 0) & 0xffffffu, 0xff0000u);
        EXPECT_EQ(c.diskLooks() - looks, on ? 0 : 100) << "watch " << on;
        EXPECT_TRUE(c.exists(asked));

        writeBmp(file, 4, 4, qRgb(0, 255, 0));
        EXPECT_EQ(c.get(asked).pixel(0, 0) & 0xffffffu, 0x00ff00u) << "watch " << on;
        EXPECT_EQ(c.decodeCount(), 2);
        const int afterChange = c.diskLooks();
        c.get(asked);
        EXPECT_EQ(c.diskLooks() - afterChange, on ? 0 : 1);
    }
}

// The changes the cache's own tests make, with the watch off too: the looks at the disk alone
// still see them.
TEST(DiskWatch, CacheSeesEveryChangeWithOrWithoutTheWatch)
{
    for (bool on : {true, false}) {
        WatchMode mode(on);
        Tree t;
        ImageCache c;
        const QString f = t.root() + "/Res/b.bmp";
        const QString asked = t.root() + "\\res\\B.bmp";
        EXPECT_TRUE(c.get(asked).isNull()) << "not there yet";
        writeBmp(f, 4, 4, qRgb(255, 0, 0));
        EXPECT_EQ(c.get(asked).pixel(0, 0) & 0xffffffu, 0xff0000u) << "added, watch " << on;
        // Rewritten within the same clock tick: same size, same time.
        const struct stat st0 = statOf(f);
        writeBmp(f, 4, 4, qRgb(0, 0, 255));
        keepTimes(f, st0);
        EXPECT_EQ(c.get(asked).pixel(0, 0) & 0xffffffu, 0x0000ffu) << "same tick, watch " << on;
        writeBmp(f, 5, 4, qRgb(0, 0, 255));
        EXPECT_EQ(c.get(asked).size(), QSize(5, 4)) << "new size, watch " << on;
        // A folder on the way renamed, then the file removed.
        ASSERT_TRUE(QDir(t.root()).rename("Res", "Gone"));
        EXPECT_TRUE(c.get(asked).isNull()) << "folder renamed, watch " << on;
        EXPECT_FALSE(c.exists(asked));
        ASSERT_TRUE(QDir(t.root()).rename("Gone", "Res"));
        EXPECT_FALSE(c.get(asked).isNull()) << "folder back, watch " << on;
        ASSERT_TRUE(QFile::remove(f));
        EXPECT_TRUE(c.get(asked).isNull()) << "removed, watch " << on;
        EXPECT_FALSE(ResFileExists(asked));
    }
}

// A spelling found by case alone gives way to the exact one when that appears, watched or not.
TEST(DiskWatch, ResolverSeesABetterSpellingAppear)
{
    for (bool on : {true, false}) {
        WatchMode mode(on);
        Tree t;
        const QString dir = t.root() + "/Res/ResPk";
        writeBmp(dir + "/PK1.BMP", 1, 1, 0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(ResolvePath(t.root() + "/Res/ResPk/pk1.bmp"), dir + "/PK1.BMP");
        writeBmp(dir + "/pk1.bmp", 1, 1, 0);
        EXPECT_EQ(ResolvePath(t.root() + "/Res/ResPk/pk1.bmp"), dir + "/pk1.bmp") << "watch " << on;
    }
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
