// One play from the server handled with its drawing: the table state updated and the table surface
// redrawn where the play changes it (the play, the hand and its count, the score panel, the turn's
// buttons and clock). Strong plays' blasts and the pause after a won trick are left out: they wait
// on purpose.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <QApplication>

#include "platform/draw/imagecache.h"
#include "platform/draw/surface.h"
#include "protocol/messages.h"
#include "round/roundflow.h"
#include "rules/gamedefine.h"
#include "rules/publicstate.h"

namespace {

// A two-deck table seen from chair 0, dealt, with plays on it.
struct BenchTable {
    Surface surf;
    TableState ts;
    TableViewState tv;
    PublicState ps;
    PaintState p;
    PaintCtx pc{surf, ts, tv, ps, p, ImageCache::instance()};
    RoundState rs;
    BasicRoundView view;
    RoundCtx ctx{pc, rs, view, [](const QByteArray&) { return true; }};
    CardList hand;

    BenchTable()
    {
        ps.strAppPath = QStringLiteral(KVRN_BENCH_BIN_DIR "/");
        ps.strParentPath = QStringLiteral(KVRN_BENCH_BIN_DIR "/../");
        p.ScreenWidthPx = 1920;
        InitGameDefine(ts);
        rs.view = &view;
        for (int c = 0; c < 4; ++c) ts.Chairs[size_t(c)].Name = QStringLiteral("player%1").arg(c);
        ts.strViewOwner = QStringLiteral("player0");
        tv.ViewPosOfChair = {2, 3, 0, 1};
        ps.TableJoined = 1;
        surf.resize(1180, 700);
        ComputeLayout(pc);
        HandleRoundMsg(ctx, BuildGameStart(5, 2, 0, 30, 1));
        for (int i = 0; i < 27; ++i) hand.push_back(uint8_t((i * 7) % 54));
        HandleRoundMsg(ctx, BuildDeal(false, hand, {}));
        HandleRoundMsg(ctx, BuildOutPaiNotice(2, 2, 0, 1, {3, 16}));
        HandleRoundMsg(ctx, BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}));
    }
};

// Another chair follows with a pair; the turn passes to this client (its play and pass buttons
// come up) or, with the argument 1, to the chair after it.
void BM_OutPaiOtherChair(benchmark::State& state)
{
    BenchTable t;
    const uint8_t next = state.range(0) == 0 ? 0 : 2;
    const QByteArray msg = BuildOutPaiNotice(next, 2, 0, 3, {4, 17});
    benchcount::CountedLoop counted(state);
    for (auto _ : state) HandleRoundMsg(t.ctx, msg);
    benchmark::DoNotOptimize(t.surf.image().constBits());
}
BENCHMARK(BM_OutPaiOtherChair)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The own play confirmed: the hand as it was before sending, less the cards, arranged and redrawn.
void BM_OutPaiOwnPlay(benchmark::State& state)
{
    BenchTable t;
    const ByteArr full = ByteArr::fromVector(t.hand);
    const QByteArray msg = BuildOutPaiNotice(1, 2, 0, 0, {t.hand[0]});
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        t.ts.MyPaiBackup = full;
        HandleRoundMsg(t.ctx, msg);
    }
    benchmark::DoNotOptimize(t.surf.image().constBits());
}
BENCHMARK(BM_OutPaiOwnPlay)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
