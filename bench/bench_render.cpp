// The table's drawing: the full repaint of a large table, the card copies next to what the memory
// allows and to QPainter's raster operations, the own hand redrawn after one card was raised, and
// a clock tick; the repaint and 550 picture requests with and without the picture cache. The
// card copies and the cache print their ratios at the end of the run.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "platform/draw/imagecache.h"
#include "rules/cards.h"
#include "tableview/gamepaint.h"
#include "support/midgame.h"

namespace {

// ---- A large table in the middle of a game --------------------------------------------------

QString BinDir() { return QStringLiteral(KVRN_BENCH_BIN_DIR); }

// 1920 x 1080, four seated players: the own 27 cards with three raised, the partner's open hand,
// the side seats' backs, four plays (one a pass), the own turn with its clock and buttons.
struct BigTable {
    Surface surf;
    TableState ts;
    TableViewState tv;
    PublicState ps;
    PaintState p;
    ImageCache cache;
    PaintCtx ctx{surf, ts, tv, ps, p, cache};

    BigTable()
    {
        ps.strAppPath = BinDir() + u'/';
        ps.strParentPath = BinDir() + QStringLiteral("/../");
        p.ScreenWidthPx = 1920;
        surf.resize(1920, 1080);
        ComputeLayout(ctx);
        testsupport::SetUpMidGame(ts, tv);
        ts.ShowLeftPai = 1;
        ts.Chairs[1].OutPai = ByteArr{53, 53, 52, 52};
        ts.Chairs[2].Dropped = true;
        p.TimedChair = 1;
        p.ClockTicks = 7;
        ComputeCardLayout(ctx);
        picGameBack_Paint(ctx);
    }
};

bool HavePack(benchmark::State& state)
{
    if (QFileInfo::exists(BinDir() + QStringLiteral("/Res/ResPk/Pk0.bmp"))) return true;
    state.SkipWithError("no generated pictures beside the programs");
    return false;
}

// Times `step` on the big table, drawn once beforehand.
template <typename Step>
void OnBigTable(benchmark::State& state, Step step)
{
    if (!HavePack(state)) return;
    BigTable t;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) step(t);
    benchmark::DoNotOptimize(std::as_const(t.surf).image().constBits());
}

void BM_FullRepaint(benchmark::State& state)
{
    OnBigTable(state, [](BigTable& t) { picGameBack_Paint(t.ctx); });
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

// The same table kept at device pixels of a 2x and a 1.5x screen: cards and frame from their 2x
// pictures, the other pieces scaled where they meet the surface.
void BM_FullRepaintScaled(benchmark::State& state)
{
    const qreal dpr = state.range(0) / 100.0;
    OnBigTable(state, [dpr](BigTable& t) {
        if (t.surf.devicePixelRatio() != dpr) {
            t.surf.setDevicePixelRatio(dpr);
            ComputeLayout(t.ctx);
            ComputeCardLayout(t.ctx);
            picGameBack_Paint(t.ctx);
        }
        picGameBack_Paint(t.ctx);
    });
}
BENCHMARK(BM_FullRepaintScaled)->Arg(200)->Arg(150)->Unit(benchmark::kMicrosecond);

// The same repaint with the picture cache and the repaint's memo off: every draw decodes its
// file, as the cache's worth to the full repaint.
void BM_FullRepaintDecodingEveryFile(benchmark::State& state)
{
    OnBigTable(state, [](BigTable& t) {
        t.cache.setEnabled(false);
        t.p.ImageMemoOn = false;
        picGameBack_Paint(t.ctx);
    });
}
BENCHMARK(BM_FullRepaintDecodingEveryFile)->Unit(benchmark::kMicrosecond);

// ---- 55 card pictures asked for ten times each, from the cache and decoded each time --------

struct CardFiles {
    QTemporaryDir dir;
    QStringList paths;
    CardFiles()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Res/ResPk"));
        QImage face(80, 105, QImage::Format_RGB32);
        for (int y = 0; y < 105; ++y)
            for (int x = 0; x < 80; ++x) face.setPixel(x, y, qRgb(x * 3, y * 2, (x * y) & 255));
        // Pictures on disk are normally old: files written a moment ago are checked more closely.
        const QDateTime old = QDateTime::currentDateTime().addSecs(-100);
        for (int n = 0; n < 55; ++n) {
            const QString file = dir.path() + QStringLiteral("/Res/ResPk/Pk%1.bmp").arg(n);
            face.save(file, "BMP");
            QFile f(file);
            if (f.open(QIODevice::ReadWrite)) f.setFileTime(old, QFileDevice::FileModificationTime);
            paths << dir.path() + QStringLiteral("\\Res\\ResPk\\Pk%1.bmp").arg(n);
        }
    }
};

void ImageRequests(benchmark::State& state, bool cached)
{
    const CardFiles files;
    ImageCache cache;
    cache.setEnabled(cached);
    for (const QString& p : files.paths) cache.get(p);   // first decodes and folder listings
    benchcount::CountedLoop counted(state);
    for (auto _ : state)
        for (int r = 0; r < 10; ++r)
            for (const QString& p : files.paths) benchmark::DoNotOptimize(cache.get(p).width());
}
void BM_ImageRequests_Cached(benchmark::State& state) { ImageRequests(state, true); }
BENCHMARK(BM_ImageRequests_Cached)->Unit(benchmark::kMicrosecond);
void BM_ImageRequests_Decoding(benchmark::State& state) { ImageRequests(state, false); }
BENCHMARK(BM_ImageRequests_Decoding)->Unit(benchmark::kMicrosecond);

// One card of the own hand raised or lowered, as a click does.
void BM_RedrawMyPk(benchmark::State& state)
{
    OnBigTable(state, [](BigTable& t) {
        t.tv.PaiSelected[13] = t.tv.PaiSelected[13] != 0 ? 0 : 1;
        RedrawMyPk(t.ctx, 13);
    });
}
BENCHMARK(BM_RedrawMyPk)->Unit(benchmark::kMicrosecond);

// The whole own hand erased and drawn again, as after a play or a re-sort.
void BM_PaintMyPai(benchmark::State& state)
{
    OnBigTable(state, [](BigTable& t) { PaintMyPai(t.ctx); });
}
BENCHMARK(BM_PaintMyPai)->Unit(benchmark::kMicrosecond);

// The turn clock's tick: the clock picture and the seconds left, through turns of 30 seconds.
void BM_ClockTick(benchmark::State& state)
{
    OnBigTable(state, [](BigTable& t) {
        t.p.ClockTicks = (t.p.ClockTicks + 1) % 30;
        PaintClock(t.ctx, true);
    });
}
BENCHMARK(BM_ClockTick)->Unit(benchmark::kMicrosecond);

// ---- 280 card copies: 140 cards, each a mask ANDed and a face ORed ---------------------------

constexpr int kCards = 140;
constexpr int kCardW = 80, kCardH = 105;

QPoint CardAt(int i) { return QPoint((i * 18) % 900, (i / 50) * 110); }

struct CardPictures {
    QImage mask{kCardW, kCardH, QImage::Format_RGB32};
    QImage face{kCardW, kCardH, QImage::Format_RGB32};
    CardPictures()
    {
        // White (see-through) rounded corners on the mask, black there on the face.
        for (int y = 0; y < kCardH; ++y)
            for (int x = 0; x < kCardW; ++x) {
                const bool corner = (x < 3 || x >= kCardW - 3) && (y < 3 || y >= kCardH - 3);
                mask.setPixel(x, y, corner ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
                face.setPixel(x, y, corner ? qRgb(0, 0, 0) : qRgb(x * 3, y * 2, (x * y) & 255));
            }
    }
};

// What the table does: mask and face in one pass.
void BM_CardCopies_Surface(benchmark::State& state)
{
    const CardPictures pics;
    Surface s(1000, 700);
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        for (int i = 0; i < kCards; ++i) {
            const QPoint at = CardAt(i);
            s.maskBlt(at.x(), at.y(), kCardW, kCardH, pics.mask, 0, 0, pics.face, 0, 0);
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(s.image().constBits());
}
BENCHMARK(BM_CardCopies_Surface)->Unit(benchmark::kMicrosecond);

// The same as two block copies, AND then OR.
void BM_CardCopies_SurfaceTwoPass(benchmark::State& state)
{
    const CardPictures pics;
    Surface s(1000, 700);
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        for (int i = 0; i < kCards; ++i) {
            const QPoint at = CardAt(i);
            s.blt(at.x(), at.y(), kCardW, kCardH, pics.mask, 0, 0, Rop::And);
            s.blt(at.x(), at.y(), kCardW, kCardH, pics.face, 0, 0, Rop::Or);
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(s.image().constBits());
}
BENCHMARK(BM_CardCopies_SurfaceTwoPass)->Unit(benchmark::kMicrosecond);

// QPainter's raster operations giving the same pixels.
void BM_CardCopies_QPainterRop(benchmark::State& state)
{
    const CardPictures pics;
    QImage img(1000, 700, QImage::Format_RGB32);
    img.fill(qRgb(16, 81, 115));
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        QPainter p(&img);
        for (int i = 0; i < kCards; ++i) {
            const QPoint at = CardAt(i);
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            p.drawImage(at, pics.mask);
            p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            p.drawImage(at, pics.face);
        }
    }
    benchmark::DoNotOptimize(img.constBits());
}
BENCHMARK(BM_CardCopies_QPainterRop)->Unit(benchmark::kMicrosecond);

// The floor: the same card rectangles filled, then the face copied into them, row by row with
// the library's fill and copy.
void BM_CardCopies_FillCopyFloor(benchmark::State& state)
{
    const CardPictures pics;
    QImage img(1000, 700, QImage::Format_RGB32);
    img.fill(qRgb(16, 81, 115));
    uchar* const base = img.bits();
    const qsizetype bpl = img.bytesPerLine();
    const uchar* const face = pics.face.constBits();
    const qsizetype fbpl = pics.face.bytesPerLine();
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        for (int i = 0; i < kCards; ++i) {
            const QPoint at = CardAt(i);
            for (int y = 0; y < kCardH; ++y) {
                auto* d = reinterpret_cast<quint32*>(base + (at.y() + y) * bpl) + at.x();
                std::fill_n(d, kCardW, 0xff105173u);
                std::memcpy(d, face + y * fbpl, kCardW * 4);
            }
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(img.constBits());
}
BENCHMARK(BM_CardCopies_FillCopyFloor)->Unit(benchmark::kMicrosecond);

// Prints the run as usual and remembers each benchmark's best time per iteration, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            const double t = r.GetAdjustedRealTime();
            auto it = best_.find(r.run_name.function_name);
            if (it == best_.end() || t < it->second) best_[r.run_name.function_name] = t;
        }
    }

    void PrintRatios() const
    {
        const auto get = [this](const char* n) {
            const auto it = best_.find(n);
            return it == best_.end() ? 0.0 : it->second;
        };
        const double ours = get("BM_CardCopies_Surface"), two = get("BM_CardCopies_SurfaceTwoPass");
        const double rop = get("BM_CardCopies_QPainterRop"), floor = get("BM_CardCopies_FillCopyFloor");
        const double repaint = get("BM_FullRepaint"), decoding = get("BM_FullRepaintDecodingEveryFile");
        const double cachedReq = get("BM_ImageRequests_Cached"), decodedReq = get("BM_ImageRequests_Decoding");
        if (repaint > 0 && decoding > 0)
            std::printf("full repaint: %.2f ms cached, %.2f ms decoding every file: %.1f times\n", repaint / 1e3,
                        decoding / 1e3, decoding / repaint);
        if (cachedReq > 0 && decodedReq > 0)
            std::printf("550 picture requests: %.2f ms cached, %.2f ms decoding: %.1f times\n", cachedReq / 1e3,
                        decodedReq / 1e3, decodedReq / cachedReq);
        if (ours > 0 && floor > 0)
            std::printf("card copies: ours %.1f us, floor %.1f us: %.2f times the floor\n", ours, floor, ours / floor);
        if (two > 0 && floor > 0)
            std::printf("card copies in two passes: %.1f us, %.2f times the floor\n", two, two / floor);
        if (ours > 0 && rop > 0)
            std::printf("card copies through QPainter raster operations: %.1f us, %.1f times ours\n", rop, rop / ours);
    }

private:
    std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
