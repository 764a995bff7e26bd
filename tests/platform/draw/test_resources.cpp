// The generated resource pack: every file the table loads exists under its name with its cell
// layout, and sheets of the pictures drawn the way the table draws them are written for a look.
#include "platform/draw/imagecache.h"
#include "platform/draw/respath.h"
#include "platform/draw/surface.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QString binDir() { return QString::fromLocal8Bit(qgetenv("KVRN_BIN_DIR")); }
QString parentDir() { return QDir(binDir()).absoluteFilePath(QStringLiteral("..")); }
QString app(const QString& rel) { return binDir() + QLatin1Char('\\') + rel; }
QString parent(const QString& rel) { return QDir::cleanPath(parentDir()) + QLatin1Char('\\') + rel; }

constexpr QRgb kTable = 0x105173;

QImage load(const QString& path)
{
    QImage i = ImageCache::instance().get(path);
    EXPECT_FALSE(i.isNull()) << path.toStdString();
    return i;
}

QRgb rgb(const QImage& i, int x, int y) { return i.pixel(x, y) & 0xffffff; }

// Same colour mapping the table uses: image suit 0..3 is spades, diamonds, clubs, hearts.
bool redImageSuit(int s) { return s == 1 || s == 3; }

bool isReddish(QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isDark(QRgb c) { return qRed(c) < 70 && qGreen(c) < 70 && qBlue(c) < 70; }

} // namespace

class Resources : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(binDir().isEmpty()) << "KVRN_BIN_DIR not set";
        ASSERT_TRUE(ResFileExists(app("Res\\ResPk\\PkMask.bmp"))) << "resource pack not generated (build target resources)";
    }
};

struct SizeCase { bool inParent; const char* path; int w, h; };

TEST_F(Resources, EveryPictureHasItsCellLayout)
{
    const SizeCase cases[] = {
        {false, "Res\\ResPk\\PkMask.bmp", 80, 105},
        {false, "Res\\PkBack.bmp", 80, 105},
        {false, "Res\\BuChu.bmp", 67 * 2, 34},
        {false, "Res\\MingCi.bmp", 48 * 3, 46},
        {false, "Res\\UserOptBut.bmp", 44 * 4, 24},
        {false, "Res\\UserOutBut.bmp", 366 + 61, 28},
        {false, "Res\\Clock.bmp", 8 * 31 + 31, 38},
        {false, "Res\\GameBackMid.bmp", 228, 172},
        {false, "Res\\GameBackHsBian.bmp", 5, 8},
        {false, "Res\\GameBackJiao.bmp", 18, 18},
        {false, "Res\\GameScore.bmp", 159, 62},
        {false, "Res\\ModeMsg.bmp", 7 * 18, 28},
        {false, "Res\\NetBreak.bmp", 32, 32},
        {false, "Res\\Logo.png", 16, 16},
        {true, "res\\Msg0.ico", 32, 32},
        {true, "res\\Msg1.ico", 32, 32},
        {true, "res\\Msg2.ico", 32, 32},
    };
    for (const auto& c : cases) {
        const QString p = c.inParent ? parent(QLatin1String(c.path)) : app(QLatin1String(c.path));
        const QImage i = load(p);
        EXPECT_EQ(i.size(), QSize(c.w, c.h)) << c.path;
    }
    for (int n = 0; n <= 53; ++n)
        EXPECT_EQ(load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(n))).size(), QSize(80, 105)) << n;
    EXPECT_FALSE(ResFileExists(app("Res\\ResPk\\Pk54.bmp")));
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(load(parent(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(n))).size(), QSize(32, 32)) << n;
    const QImage vs = load(app("Res\\GameBackVsBian.bmp"));
    EXPECT_EQ(vs.width(), 8);
    const QImage hand = load(app("Res\\Hand.bmp"));
    EXPECT_LE(hand.width(), 80);
    EXPECT_LE(hand.height(), 35);
    EXPECT_EQ(load(app("Res\\TimeBarHead.bmp")).width(), 52);
    // Above the box the table erases for the seconds left: (63, 35) is 15 below the head's top.
    EXPECT_LE(load(app("Res\\TimeBarHead.bmp")).height(), 15);
    EXPECT_FALSE(load(app("Res\\TimeBarEnd.bmp")).isNull());
}

TEST_F(Resources, FiguresAreDistinctPeople)
{
    QList<QImage> seen;
    for (int n = 1; n <= 12; ++n) {
        const QImage i = load(parent(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(n)));
        for (const QImage& o : seen)
            EXPECT_NE(i, o) << n;
        seen << i;
    }
}

TEST_F(Resources, CardFacesFitTheMask)
{
    const QImage mask = load(app("Res\\ResPk\\PkMask.bmp"));
    // White outside the rounded corners, black on the card.
    EXPECT_EQ(rgb(mask, 0, 0), 0xffffffu);
    EXPECT_EQ(rgb(mask, 79, 104), 0xffffffu);
    EXPECT_EQ(rgb(mask, 40, 50), 0u);
    EXPECT_EQ(rgb(mask, 0, 50), 0u);
    QStringList faces;
    for (int n = 0; n <= 53; ++n)
        faces << QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(n);
    faces << QStringLiteral("Res\\PkBack.bmp");
    for (const QString& f : faces) {
        const QImage face = load(app(f));
        if (face.size() != mask.size())
            continue;
        int bad = 0;
        for (int y = 0; y < 105; ++y)
            for (int x = 0; x < 80; ++x) {
                const QRgb m = rgb(mask, x, y);
                EXPECT_TRUE(m == 0 || m == 0xffffffu);
                if (m == 0xffffffu && rgb(face, x, y) != 0)
                    ++bad;
            }
        EXPECT_EQ(bad, 0) << f.toStdString() << ": face pixels outside the card";
    }
}

TEST_F(Resources, EachCardShowsItsSuitColourInTheCornerStrip)
{
    for (int n = 0; n < 52; ++n) {
        const QImage face = load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(n)));
        int red = 0, dark = 0;
        for (int y = 2; y < 34; ++y)
            for (int x = 1; x < 18; ++x) {
                const QRgb c = rgb(face, x, y);
                red += isReddish(c);
                dark += isDark(c) && x > 1 && y > 1;
            }
        if (redImageSuit(n / 13)) {
            EXPECT_GT(red, 25) << n;
        } else {
            EXPECT_GT(dark, 25) << n;
            EXPECT_LT(red, 3) << n;
        }
    }
    // Every face differs from every other.
    for (int a = 0; a < 54; ++a)
        for (int b = a + 1; b < 54; ++b)
            ASSERT_NE(load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(a))),
                      load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(b)))) << a << " " << b;
}

TEST_F(Resources, TwoXVersionsAreTwiceTheSizeAndKeepTheCardOutline)
{
    // The card mask at 2x is the 1x mask with each pixel doubled, so a face fits the same
    // outline at both scales, and each 2x face is black wherever that mask is white.
    const QImage mask = load(app("Res\\ResPk\\PkMask.bmp"));
    const QImage mask2 = load(app("Res\\ResPk\\PkMask@2x.bmp"));
    ASSERT_EQ(mask2.size(), mask.size() * 2);
    for (int y = 0; y < mask2.height(); ++y)
        for (int x = 0; x < mask2.width(); ++x) ASSERT_EQ(rgb(mask2, x, y), rgb(mask, x / 2, y / 2)) << x << "," << y;
    // Every picture drawn at rest: the client's lookup finds its 2x version.
    QStringList pictures;
    for (int n = 0; n <= 53; ++n) pictures << app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(n));
    for (const char* f : {"PkBack", "SysMenu", "UserButton", "BuChu", "MingCi", "UserOptBut", "UserOutBut", "Clock", "Hand",
                          "GameBackMid", "GameBackVsBian", "GameBackHsBian", "GameBackJiao", "TimeBarHead", "TimeBarEnd",
                          "GameScore", "ModeMsg", "NetBreak", "CaptionMid", "CaptionLR", "VSpliterBk", "VSpliterMidBk",
                          "VSpliterMid_Left", "VSpliterMid_Right", "DaoJuBut", "DaoJu\\DaoJuInfo_5001", "DaoJu\\MyDaoJu_5012"})
        pictures << app(QStringLiteral("Res\\%1.bmp").arg(QLatin1String(f)));
    for (const char* f : {"DaoJuMain", "DaoJuInfoBk", "SysBut", "TabBut", "TabButM", "BuyBut", "BuyButM", "DaoJuNo",
                          "MyDaoJuBk", "MeNo", "Move0", "move0M", "Move1", "move1M"})
        pictures << parent(QStringLiteral("DaoJuMaket\\%1.bmp").arg(QLatin1String(f)));
    pictures << app(QStringLiteral("Res\\Logo.png"));
    for (int n = 0; n <= 2; ++n) pictures << parent(QStringLiteral("res\\Msg%1.ico").arg(n));
    for (int n = 1; n <= 16; ++n) pictures << parent(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(n));
    for (const QString& p : pictures) {
        const QImage one = (p.endsWith(QLatin1String(".ico")) || p.endsWith(QLatin1String(".png"))) ? ImageCache::instance().getWithAlpha(p) : load(p);
        const QImage two = HiResPicture(one);
        ASSERT_TRUE(!one.isNull() && two.size() == one.size() * 2) << p.toStdString();
        if (one.size() != mask.size()) continue;
        int bad = 0;
        for (int y = 0; y < two.height(); ++y)
            for (int x = 0; x < two.width(); ++x) bad += rgb(mask2, x, y) == 0xffffffu && rgb(two, x, y) != 0;
        EXPECT_EQ(bad, 0) << p.toStdString();
    }
}

// The client ANDs the mask, then ORs the picture, at the device pixels of the scale it draws
// at: both files of a scale must agree pixel for pixel.
TEST_F(Resources, MaskedCellsAreBlackWhereTheirMaskIsWhiteAtEveryScale)
{
    struct M { const char* file; int cw, ch; std::vector<int> pics; int maskX; };
    const M cases[] = {
        {"Res\\BuChu", 67, 34, {0}, 67},
        {"Res\\UserOutBut", 61, 28, {0, 61, 122, 183, 244, 305}, 366},
        {"Res\\Clock", 31, 38, {0, 31, 62, 93, 124, 155, 186, 217}, 248},
        {"Res\\ModeMsg", 18, 28, {0}, 18},
        {"Res\\ModeMsg", 18, 28, {36}, 54},
    };
    for (const int k : {1, 2})
        for (const auto& c : cases) {
            const QString file = QLatin1String(c.file) + (k == 1 ? QStringLiteral(".bmp") : QStringLiteral("@2x.bmp"));
            const QImage i = load(app(file));
            const std::string at = file.toStdString();
            for (int px : c.pics) {
                int white = 0, black = 0;
                for (int y = 0; y < c.ch * k; ++y)
                    for (int x = 0; x < c.cw * k; ++x) {
                        const QRgb m = rgb(i, c.maskX * k + x, y);
                        ASSERT_TRUE(m == 0 || m == 0xffffffu) << at;
                        if (m == 0xffffffu) {
                            ++white;
                            EXPECT_EQ(rgb(i, px * k + x, y), 0u) << at << " cell at " << px;
                        } else {
                            ++black;
                        }
                    }
                EXPECT_GT(white, 0) << at;
                EXPECT_GT(black, c.cw * c.ch * k * k / 3) << at;
            }
        }
}

// The rim is laid from small pieces, mirrored and repeated: at each scale the corner continues
// both side pieces.
TEST_F(Resources, RimPiecesMeetAtEveryScale)
{
    for (const int k : {1, 2}) {
        const QString sfx = k == 1 ? QStringLiteral(".bmp") : QStringLiteral("@2x.bmp");
        const QImage vs = load(app(QStringLiteral("Res\\GameBackVsBian") + sfx));
        const QImage hs = load(app(QStringLiteral("Res\\GameBackHsBian") + sfx));
        const QImage jiao = load(app(QStringLiteral("Res\\GameBackJiao") + sfx));
        ASSERT_EQ(vs.size(), QSize(8, 5) * k);
        ASSERT_EQ(hs.size(), QSize(5, 8) * k);
        ASSERT_EQ(jiao.size(), QSize(18, 18) * k);
        int bad = 0;
        // The corner lies 11 columns left of the side piece; its top rows left of the stud are
        // the top piece's rows, its right columns under the top rim are the side piece's.
        for (int y = 0; y < 8 * k; ++y)
            for (int x = 0; x < 10 * k; ++x) bad += rgb(jiao, x, y) != rgb(hs, 0, y);
        for (int y = 8 * k; y < 18 * k; ++y)
            for (int x = 11 * k; x < 18 * k; ++x) bad += rgb(jiao, x, y) != rgb(vs, x - 11 * k, 0);
        EXPECT_EQ(bad, 0) << "scale " << k;
    }
}

// The shop window's shape is cut from the 1x picture in logical pixels: the 2x picture is the
// key colour exactly where its logical pixel is.
TEST_F(Resources, ShopBackKeepsItsKeyColourAtTwoX)
{
    const QImage one = load(parent(QStringLiteral("DaoJuMaket\\DaoJuMain.bmp")));
    const QImage two = load(parent(QStringLiteral("DaoJuMaket\\DaoJuMain@2x.bmp")));
    ASSERT_EQ(two.size(), one.size() * 2);
    constexpr QRgb kKey = 0xff00ff;
    int bad = 0, keys = 0;
    for (int y = 0; y < two.height(); ++y)
        for (int x = 0; x < two.width(); ++x) {
            const bool key = rgb(one, x / 2, y / 2) == kKey;
            keys += key;
            bad += key != (rgb(two, x, y) == kKey);
        }
    EXPECT_GT(keys, 0);
    EXPECT_EQ(bad, 0);
}

TEST_F(Resources, BlastFramesHaveExactKeyColourCorners)
{
    struct K { const char* folder; int frames, w, h; QRgb key; };
    const K kinds[] = {{"b1", 9, 180, 135, 0x000000}, {"b2", 15, 88, 80, 0xffffff}, {"b3", 27, 78, 121, 0x000000}};
    for (const auto& k : kinds) {
        for (int f = 1; f <= 2 * k.frames; ++f) {
            // Each frame, then its 2x version.
            const int s = f > k.frames ? 2 : 1, w = k.w * s, h = k.h * s;
            const QString p = app(QStringLiteral("Res\\Bomb\\%1\\Blast0%2%3.jpg")
                                      .arg(QLatin1String(k.folder))
                                      .arg((f - 1) % k.frames + 1, 2, 10, QLatin1Char('0'))
                                      .arg(s == 2 ? QStringLiteral("@2x") : QString()));
            const QImage i = load(p);
            ASSERT_EQ(i.size(), QSize(w, h)) << p.toStdString();
            for (QPoint c : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
                EXPECT_EQ(rgb(i, c.x(), c.y()), k.key) << p.toStdString();
            int subject = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    subject += rgb(i, x, y) != k.key;
            EXPECT_GT(subject, 50) << p.toStdString();
        }
        EXPECT_FALSE(ResFileExists(app(QStringLiteral("Res\\Bomb\\%1\\Blast0%2.jpg").arg(QLatin1String(k.folder)).arg(k.frames + 1))));
    }
}

TEST_F(Resources, SoundsArePlainShortPcmWaves)
{
    const char* files[] = {"Start.wav", "Liang.wav", "OutPai.wav", "Pass.wav", "Hong10.wav",
                           "ZhaDan.wav", "Warning.wav", "End.wav", "PangGuanIn.wav", "PangGuanOut.wav"};
    QList<QByteArray> seen;
    for (const char* f : files) {
        QFile file(ResolvePath(app(QStringLiteral("Res\\Sound\\") + QLatin1String(f))));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f;
        const QByteArray b = file.readAll();
        ASSERT_GE(b.size(), 44) << f;
        EXPECT_EQ(b.left(4), QByteArray("RIFF"));
        EXPECT_EQ(b.mid(8, 8), QByteArray("WAVEfmt "));
        const uchar* d = reinterpret_cast<const uchar*>(b.constData());
        EXPECT_EQ(qFromLittleEndian<quint32>(d + 4), quint32(b.size() - 8)) << f;
        EXPECT_EQ(qFromLittleEndian<quint16>(d + 20), 1) << f;    // PCM
        EXPECT_EQ(qFromLittleEndian<quint16>(d + 34), 16) << f;   // 16-bit
        EXPECT_EQ(b.mid(36, 4), QByteArray("data"));
        const quint32 data = qFromLittleEndian<quint32>(d + 40);
        EXPECT_EQ(data, quint32(b.size() - 44)) << f;
        const double seconds = double(data) / qFromLittleEndian<quint32>(d + 28);
        EXPECT_GT(seconds, 0.05) << f;
        EXPECT_LT(seconds, 1.5) << f;
        // Not silent.
        int loud = 0;
        for (int i = 44; i + 1 < b.size(); i += 2)
            loud += std::abs(qFromLittleEndian<qint16>(d + i)) > 3000;
        EXPECT_GT(loud, 100) << f;
        for (const QByteArray& o : seen)
            EXPECT_NE(b, o) << f;
        seen << b;
    }
}

// ---- sheets to look at: the pictures drawn the way the table draws them ----

namespace {

void card(Surface& s, const QImage& mask, const QImage& face, int x, int y)
{
    s.blt(x, y, 80, 105, mask, 0, 0, Rop::And);
    s.blt(x, y, 80, 105, face, 0, 0, Rop::Or);
}

void keyed(Surface& s, const QImage& pic, QRgb key, int x, int y)
{
    for (int j = 0; j < pic.height(); ++j)
        for (int i = 0; i < pic.width(); ++i) {
            const QRgb c = pic.pixel(i, j) & 0xffffff;
            if (c != key && x + i >= 0 && y + j >= 0 && x + i < s.width() && y + j < s.height())
                s.image().setPixel(x + i, y + j, c | 0xff000000u);
        }
}

QString sheetPath(const QString& name) { return QDir(parentDir()).absoluteFilePath(name); }

} // namespace

TEST_F(Resources, CardSheet)
{
    Surface s(1000, 640);
    const QImage mask = load(app("Res\\ResPk\\PkMask.bmp"));
    // Four rows of thirteen overlapping by the table's 18-pixel step, one per suit.
    for (int suit = 0; suit < 4; ++suit)
        for (int r = 0; r < 13; ++r)
            card(s, mask, load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(suit * 13 + r))), 20 + r * 18, 20 + suit * 120);
    // The same cards side by side, to see the middles.
    for (int r = 0; r < 13; ++r) {
        card(s, mask, load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(39 + r))), 290 + (r % 7) * 86, 20 + (r / 7) * 112);
        card(s, mask, load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(13 + r))), 290 + (r % 7) * 86, 260 + (r / 7) * 112);
    }
    card(s, mask, load(app("Res\\ResPk\\Pk52.bmp")), 20, 500);
    card(s, mask, load(app("Res\\ResPk\\Pk53.bmp")), 106, 500);
    card(s, mask, load(app("Res\\PkBack.bmp")), 192, 500);
    for (int i = 0; i < 6; ++i)
        card(s, mask, load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(i == 5 ? 53 : i == 4 ? 52 : i * 13 + 9))), 300 + i * 18, 500);
    for (int i = 0; i < 8; ++i)
        card(s, mask, load(app("Res\\PkBack.bmp")), 500 + i * 18, 500);
    // The table shows through outside the rounded corners.
    EXPECT_EQ(rgb(s.image(), 20, 20), kTable);
    EXPECT_EQ(rgb(s.image(), 60, 70), 0xffffffu);
    ASSERT_TRUE(s.image().save(sheetPath("sheet-cards.png")));
}

TEST_F(Resources, TableSheet)
{
    const int W = 800, H = 600;
    Surface s(W, H);
    // Background as the table lays it: centre, edges, corners.
    const QImage mid = load(app("Res\\GameBackMid.bmp"));
    s.blt((W - 228) / 2, (H - 172) / 2, 228, 172, mid, 0, 0);
    const QImage vs = load(app("Res\\GameBackVsBian.bmp"));
    for (int y = 0; y <= H; y += 5) {
        s.blt(6, y, -8, vs.height(), vs, 0, 0);
        s.blt(W - 7, y, 8, vs.height(), vs, 0, 0);
    }
    const QImage hs = load(app("Res\\GameBackHsBian.bmp"));
    for (int x = 0; x <= W; x += 5) {
        s.blt(x, 0, hs.width(), hs.height(), hs, 0, 0);
        s.stretchBlt(x, H, 5, -8, hs, 0, 0, hs.width(), hs.height());
    }
    const QImage jiao = load(app("Res\\GameBackJiao.bmp"));
    s.blt(W - 18, 0, 18, 18, jiao, 0, 0);
    s.blt(17, 0, -18, 18, jiao, 0, 0);
    s.blt(17, H, -18, -18, jiao, 0, 0);
    s.blt(W - 18, H, 18, -18, jiao, 0, 0);
    // Time bar, score panel with its numbers, clock with seconds.
    const QImage head = load(app("Res\\TimeBarHead.bmp"));
    s.blt(18, 20, head.width(), head.height(), head, 0, 0);
    s.fillRect(70, 22, 80, head.height() - 4, QColor(40, 200, 80));
    const QImage end = load(app("Res\\TimeBarEnd.bmp"));
    s.blt(190, 20, end.width(), end.height(), end, 0, 0);
    s.fillRect(63, 35, 30, 30, QColor::fromRgb(kTable));
    s.fontName = QStringLiteral("黑体");
    s.fontBold = true;
    s.foreColor = QColor(255, 255, 0);
    s.print(63, 35, QStringLiteral("17"));
    const QImage score = load(app("Res\\GameScore.bmp"));
    const int px = W - 159 - 50, py = 10;
    s.blt(px, py, 159, 62, score, 0, 0);
    s.fontName = QStringLiteral("宋体");
    s.fontSize = 10;
    s.foreColor = Qt::white;
    s.print(px + 100, py + 5, QStringLiteral("120"));
    s.print(px + 100, py + 25, QStringLiteral("85"));
    s.foreColor = Qt::cyan;
    s.print(px + 100, py + 44, QStringLiteral("25"));
    s.fontSize = 9;
    s.fontBold = false;
    const QImage clock = load(app("Res\\Clock.bmp"));
    for (int i = 0; i < 8; ++i) {
        s.blt(230 + i * 36, 20, 31, 38, clock, 248, 0, Rop::And);
        s.blt(230 + i * 36, 20, 31, 38, clock, i * 31, 0, Rop::Or);
    }
    // Seats: figures, names, the ready hand, the network-break mark, finishing places.
    const QImage hand = load(app("Res\\Hand.bmp"));
    const QImage net = load(app("Res\\NetBreak.bmp"));
    const QImage ming = load(app("Res\\MingCi.bmp"));
    for (int n = 1; n <= 12; ++n) {
        const QImage fig = load(parent(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(n)));
        s.blt(20 + (n - 1) * 40, 80, 32, 32, fig, 0, 0);
    }
    s.foreColor = Qt::white;
    s.print(20 + 35, 130, QStringLiteral("玩家甲"));
    s.blt(20, 122, 32, 32, load(parent("UserRes\\LargeUser\\3.ico")), 0, 0);
    s.blt(110, 122, hand.width(), hand.height(), hand, 0, 0);
    s.blt(200, 122, 32, 32, net, 0, 0);
    for (int i = 0; i < 3; ++i)
        s.blt(250 + i * 52, 118, 48, 46, ming, i * 48, 0);
    // Buttons: option buttons in both states, play buttons in both states.
    const QImage opt = load(app("Res\\UserOptBut.bmp"));
    for (int i = 0; i < 4; ++i)
        s.blt(W - 54 - (i / 2) * 50, H - 2 * 29 - 47 + (i % 2) * 29, 44, 24, opt, i * 44, 0);
    const QImage out = load(app("Res\\UserOutBut.bmp"));
    for (int i = 0; i < 6; ++i) {
        s.blt(480 + (i % 3) * 69, 400 + (i / 3) * 34, 61, 28, out, 366, 0, Rop::And);
        s.blt(480 + (i % 3) * 69, 400 + (i / 3) * 34, 61, 28, out, i * 61, 0, Rop::Or);
    }
    const QImage buchu = load(app("Res\\BuChu.bmp"));
    s.blt(380, 250, 67, 34, buchu, 67, 0, Rop::And);
    s.blt(380, 250, 67, 34, buchu, 0, 0, Rop::Or);
    // A hand of cards at the bottom, one raised.
    const QImage mask = load(app("Res\\ResPk\\PkMask.bmp"));
    const int hand13[13] = {1, 14, 27, 40, 5, 18, 31, 44, 9, 22, 35, 48, 53};
    for (int i = 0; i < 13; ++i)
        card(s, mask, load(app(QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(hand13[i]))), 280 + i * 18, H - 150 - (i == 4 ? 24 : 0));
    // Blasts over the table, key colour left out.
    keyed(s, load(app("Res\\Bomb\\b1\\Blast005.jpg")), 0x000000, 40, 200);
    keyed(s, load(app("Res\\Bomb\\b2\\Blast006.jpg")), 0xffffff, 40, 360);
    keyed(s, load(app("Res\\Bomb\\b3\\Blast012.jpg")), 0x000000, 150, 350);
    // The framed end panel.
    const QImage mm = load(app("Res\\ModeMsg.bmp"));
    const int x = 420, y = 150, w = 240, h = 160;
    s.fillRect(x + 18, y + 28, w - 36, h - 56, QColor(247, 207, 156));
    const int bottom = y + h - 28;
    s.blt(x, y, 18, 28, mm, 18, 0, Rop::And);
    s.blt(x, y, 18, 28, mm, 0, 0, Rop::Or);
    s.blt(x + w, y, -18, 28, mm, 18, 0, Rop::And);
    s.blt(x + w, y, -18, 28, mm, 0, 0, Rop::Or);
    s.blt(x, bottom, 18, 28, mm, 54, 0, Rop::And);
    s.blt(x, bottom, 18, 28, mm, 36, 0, Rop::Or);
    s.blt(x + w, bottom, -18, 28, mm, 54, 0, Rop::And);
    s.blt(x + w, bottom, -18, 28, mm, 36, 0, Rop::Or);
    for (int ex = x + 18; ex < x + w - 18; ex += 18) {
        const int pw = std::min(18, x + w - 18 - ex);
        s.blt(ex, y, pw, 28, mm, 72, 0);
        s.blt(ex, bottom, pw, 28, mm, 90, 0);
    }
    for (int ey = y + 28; ey < bottom; ey += 28) {
        const int ph = std::min(28, bottom - ey);
        s.blt(x, ey, 18, ph, mm, 108, 0);
        s.blt(x + w, ey, -18, ph, mm, 108, 0);
    }
    s.fontName = QStringLiteral("黑体");
    s.fontSize = 20;
    s.fontBold = true;
    s.foreColor = QColor(0, 0, 250);
    s.print(x + 60, y + 35, QStringLiteral("本轮和局！"));
    s.fontName = QStringLiteral("宋体");
    s.fontSize = 12;
    s.print(x + 60, y + 85, QStringLiteral("我伙得分： 120"));
    s.print(x + 60, y + 110, QStringLiteral("对伙得分： 85"));
    // Message-box icons and the logo on a light dialog colour.
    s.fillRect(680, 400, 110, 50, QColor(236, 233, 216));
    for (int i = 0; i < 3; ++i)
        s.drawImage(684 + i * 34, 408, ImageCache::instance().getWithAlpha(parent(QStringLiteral("res\\Msg%1.ico").arg(i))));
    s.drawImage(684, 380, ImageCache::instance().getWithAlpha(app("Res\\Logo.png")));

    // The panel's inside and its corners came out where they should.
    EXPECT_EQ(rgb(s.image(), x + w / 2, y + h / 2 + 30), QColor(247, 207, 156).rgb() & 0xffffff);
    EXPECT_EQ(rgb(s.image(), x, y), kTable);   // outside the rounded corner
    ASSERT_TRUE(s.image().save(sheetPath("sheet-table.png")));
}

TEST_F(Resources, BlastSheet)
{
    Surface s(1000, 700);
    struct K { const char* folder; int frames, w, h; QRgb key; };
    const K kinds[] = {{"b1", 9, 180, 135, 0x000000}, {"b2", 15, 88, 80, 0xffffff}, {"b3", 27, 78, 121, 0x000000}};
    int y = 5;
    for (const auto& k : kinds) {
        int x = 5;
        for (int f = 1; f <= k.frames; ++f) {
            if (x + k.w > 1000) {
                x = 5;
                y += k.h + 5;
            }
            const QImage i = load(app(QStringLiteral("Res\\Bomb\\%1\\Blast0%2.jpg").arg(QLatin1String(k.folder)).arg(f, 2, 10, QLatin1Char('0'))));
            keyed(s, i, k.key, x, y);
            x += k.w + 5;
        }
        y += k.h + 5;
    }
    // Nothing of the flat background reaches the table: the first frame's corner area is table.
    EXPECT_EQ(rgb(s.image(), 6, 6), kTable);
    ASSERT_TRUE(s.image().save(sheetPath("sheet-blasts.png")));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
