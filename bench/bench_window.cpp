// The whole main window repainted, next to a bare Qt window of the same size built by the same
// build: the frame, the table, the lists and the chat, through the window's backing store. The
// screen's scale comes from the environment as for any Qt program (QT_SCALE_FACTOR=2 for a
// 2x screen); the ratios are printed at the end of the run.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <map>
#include <string>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "rules/gamedefine.h"
#include "tableview/gamepaint.h"
#include "support/midgame.h"

namespace {

QString BinDir() { return QStringLiteral(KVRN_BENCH_BIN_DIR); }

constexpr int kWidth = 1280, kHeight = 768;

// The main window as the program opens it, in the middle of a game.
struct OurWindow {
    Client c;
    frmGameMain* w = nullptr;
    OurWindow()
    {
        c.pub.strGameTitle = QStringLiteral("四人牌桌");
        c.pub.strMyName = QStringLiteral("我是玩家");
        InitPublicState(c.pub, c.tv, BinDir() + u'/');
        c.msgPool.InitMsgPool(c.pub.strParentPath);
        InitGameDefine(c.tbl);
        w = new frmGameMain(c);
        w->setQuitOnUnload(false);
        w->setScreenSize(QSize(kWidth, kHeight + 32));
        w->Form_Load();
        w->tmrForm->stop();
        w->move(0, 0);
        w->resize(kWidth, kHeight);
        w->show();
        testsupport::SetUpMidGame(c.tbl, c.tv);
        ComputeCardLayout(w->paintContext());
        picGameBack_Paint(w->paintContext());
        QApplication::processEvents();
        w->repaint();
    }
    ~OurWindow() { delete w; }
};

struct BareWindow {
    QWidget w;
    BareWindow()
    {
        w.setAutoFillBackground(true);
        w.move(0, 0);
        w.resize(kWidth, kHeight);
        w.show();
        QApplication::processEvents();
        w.repaint();
    }
};

// A bare window holding the kinds of standard widgets ours shows beside the table (a caption, a
// list with headings and rows, a text pane, a line edit, a combo box and a button), the table's
// place filled plainly: what any Qt window of that make-up pays for a repaint.
struct BareWidgetsWindow {
    QWidget w;
    BareWidgetsWindow()
    {
        auto* row = new QHBoxLayout(&w);
        auto* table = new QWidget(&w);
        table->setAutoFillBackground(true);
        QPalette pal = table->palette();
        pal.setColor(QPalette::Window, QColor(16, 81, 115));
        table->setPalette(pal);
        row->addWidget(table, 3);
        auto* side = new QVBoxLayout;
        side->addWidget(new QLabel(QStringLiteral("用户列表"), &w));
        auto* list = new QTableWidget(4, 5, &w);
        list->setHorizontalHeaderLabels({QStringLiteral("用户名"), QStringLiteral("用户ID"), QStringLiteral("积分"),
                                         QStringLiteral("级别"), QStringLiteral("状态")});
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c) list->setItem(r, c, new QTableWidgetItem(QStringLiteral("机器人%1").arg(r)));
        side->addWidget(list);
        auto* pane = new QTextBrowser(&w);
        pane->setHtml(QStringLiteral("<h2>四人对战 伙伴同心</h2><p>和对家一起算分、炸弹、马队</p>"));
        side->addWidget(pane);
        auto* chat = new QTextBrowser(&w);
        side->addWidget(chat);
        auto* input = new QHBoxLayout;
        auto* combo = new QComboBox(&w);
        combo->addItem(QStringLiteral("所有人"));
        input->addWidget(combo);
        input->addWidget(new QLineEdit(&w));
        input->addWidget(new QPushButton(QStringLiteral("发送"), &w));
        side->addLayout(input);
        row->addLayout(side, 1);
        w.move(0, 0);
        w.resize(kWidth, kHeight);
        w.show();
        QApplication::processEvents();
        w.repaint();
    }
};

std::map<std::string, std::pair<double, double>> g_times;   // real and CPU time

template <class Window, class Get>
void Repaint(benchmark::State& state, Get get)
{
    if (!QFileInfo::exists(BinDir() + QStringLiteral("/Res/ResPk/Pk0.bmp"))) {
        state.SkipWithError("no generated pictures beside the programs");
        return;
    }
    Window win;
    QWidget* w = get(win);
    {
        benchcount::CountedLoop counted(state);
        for (auto _ : state) w->repaint();
    }
    state.counters["scale"] = w->devicePixelRatioF();
}

void BM_WindowRepaint_Ours(benchmark::State& state)
{
    Repaint<OurWindow>(state, [](OurWindow& o) { return static_cast<QWidget*>(o.w); });
}
BENCHMARK(BM_WindowRepaint_Ours)->Unit(benchmark::kMicrosecond);

void BM_WindowRepaint_BareQt(benchmark::State& state)
{
    Repaint<BareWindow>(state, [](BareWindow& b) { return &b.w; });
}
BENCHMARK(BM_WindowRepaint_BareQt)->Unit(benchmark::kMicrosecond);

void BM_WindowRepaint_BareWidgets(benchmark::State& state)
{
    Repaint<BareWidgetsWindow>(state, [](BareWidgetsWindow& b) { return &b.w; });
}
BENCHMARK(BM_WindowRepaint_BareWidgets)->Unit(benchmark::kMicrosecond);

// Keeps the per-iteration times so the ratio can be printed after the run.
class Ratios : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            // One run, or the median of repetitions.
            if (!r.error_occurred && (r.run_type == Run::RT_Iteration || r.aggregate_name == "median"))
                g_times[r.run_name.function_name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Ratios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ours = g_times.find("BM_WindowRepaint_Ours"), bare = g_times.find("BM_WindowRepaint_BareQt");
    if (ours != g_times.end() && bare != g_times.end() && bare->second.first > 0 && bare->second.second > 0)
        std::printf("full-window repaint at scale %.2f: ours / bare Qt = %.2f real, %.2f CPU\n",
                    qApp->devicePixelRatio(), ours->second.first / bare->second.first,
                    ours->second.second / bare->second.second);
    const auto widgets = g_times.find("BM_WindowRepaint_BareWidgets");
    if (ours != g_times.end() && widgets != g_times.end() && widgets->second.first > 0 && widgets->second.second > 0)
        std::printf("  ours / a bare window with the same kinds of standard widgets = %.2f real, %.2f CPU\n",
                    ours->second.first / widgets->second.first, ours->second.second / widgets->second.second);
    benchmark::Shutdown();
    return 0;
}
