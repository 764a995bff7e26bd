// The client without its window, from a few prepared tables (idle, dealt, the own turn, a
// spectator's, the pause after a won trick): everything the room server may send goes through the
// dispatch to the room, game and item handlers, mixed with the clock running out, the ready
// countdown, the previous-trick timer, clicks on the table and the settings dialog's buttons.
// What the client sends is a message the server can read, and the values it keeps from the server
// stay in their ranges.
// Events marked so arrive while an earlier handler waits (a trick pause, a blast, a message box),
// as they do in the nested event loops of the program.
//
// Input: byte 0 picks the prepared table; then events, each a control byte (low three bits the
// kind, bit 7: arrives during the next wait, bit 6 on a message: a burst) and the kind's bytes (a
// message: two length bytes, big-endian, and the message; a burst then one byte, the message
// coming 1 + 2 x that many times, each copy during the wait of the one before, as a server
// flooding the client with one message would have it).
//
// The pauses do not wait here: this program's own WaitTicks, linked in place of the library's,
// hands the waiting events to the client at once. A handler that would end the program (the
// window closed during a wait) returns instead, and no later event arrives.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <array>
#include <deque>
#include <optional>
#include <utility>

#include "launch/chat.h"
#include "launch/client.h"
#include "launch/frmgameset.h"
#include "launch/publicdefine.h"
#include "launch/roomhandler.h"
#include "launch/roomlink.h"
#include "platform/draw/imagecache.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "round/roundflow.h"
#include "rules/gamedefine.h"
#include "shop/daojumaket.h"
#include "tableview/gamepaint.h"
#include "tableview/waitticks.h"

namespace {

enum EventKind : uint8_t {
    EV_MESSAGE = 0,
    EV_CLOCK_TIMEOUT = 1,
    EV_READY_TICK = 2,
    EV_CLICK = 3,
    EV_LAST_TRICK_TICK = 4,
    EV_CLOCK_TICK = 5,
    EV_START_CLICK = 6,
    EV_GAMESET_BUTTON = 7,
};
constexpr uint8_t kKindMask = 7;
constexpr uint8_t kDuringWait = 0x80;
constexpr uint8_t kBurst = 0x40;
constexpr int kBurstStep = 2;

enum Prepared : uint8_t { ST_IDLE, ST_DEALT, ST_OWN_TURN, ST_SPECTATOR, ST_TRICK_PAUSE, ST_COUNT };

// Waits inside waits: deep enough for every interleaving that matters, shallow enough for the stack.
constexpr int kMaxNesting = 12;

struct Event {
    uint8_t kind = EV_MESSAGE;
    bool during = false;
    QByteArray bytes;
};

std::deque<Event> ParseEvents(const uint8_t* d, size_t n)
{
    std::deque<Event> out;
    size_t i = 0;
    auto take = [&](size_t k) {
        const size_t m = std::min(k, n - i);
        QByteArray b(reinterpret_cast<const char*>(d) + i, qsizetype(m));
        i += m;
        return b;
    };
    while (i < n) {
        Event e;
        const uint8_t ctl = d[i++];
        e.kind = ctl & kKindMask;
        e.during = ctl & kDuringWait;
        switch (e.kind) {
        case EV_MESSAGE: {
            const QByteArray len = take(2);
            const size_t k = len.size() == 2 ? (size_t(uint8_t(len[0])) << 8) | uint8_t(len[1]) : 0;
            e.bytes = take(k);
            if (ctl & kBurst) {
                const QByteArray times = take(1);
                const int copies = 1 + (times.isEmpty() ? 0 : kBurstStep * uint8_t(times[0]));
                out.push_back(e);
                e.during = true;
                for (int j = 1; j < copies; ++j) out.push_back(e);
            }
            break;
        }
        case EV_CLICK: e.bytes = take(5); break;
        case EV_GAMESET_BUTTON: e.bytes = take(1); break;
        default: break;
        }
        out.push_back(std::move(e));
    }
    return out;
}

// The widgets the window lists users and chat lines in, made once: the user list is emptied for
// every input; the chat keeps at most its 500 lines.
TavList* g_list = nullptr;
TavChat* g_chat = nullptr;
QString g_binDir;

struct Run;
Run* g_run = nullptr;

void RunDeferred(Run& r, bool all);
void CloseClient(Run& r);

// The window's side of the round flow: a box lets the waiting events in, closing ends the client.
struct FuzzRoundView : BasicRoundView {
    Run* run = nullptr;
    void ShowMsg(const QString&, const QString&) override { RunDeferred(*run, false); }
    void ShowWarning(const QString&, const QString&) override { RunDeferred(*run, false); }
    void CloseMainWindow() override { CloseClient(*run); }
};

// The shop's boxes wait like the others.
struct FuzzShopView : DaoJuView {
    Run* run = nullptr;
    void ShowDaoJuNotice(const QString&, const QString&) override { RunDeferred(*run, false); }
    void ShowDaoJuUsed(const QString&) override { RunDeferred(*run, false); }
    void RedrawMaket() override {}
};

// The room side as the main window has it: the real user list and chat pane, the seats drawn into
// the table's picture with the repaint after a seat change during a game, and the real settings
// dialog.
struct FuzzRoomView : RoomView {
    Run* run = nullptr;
    frmGameSet* gameSet = nullptr;
    bool repaintQueued = false;

    PaintCtx& pc();
    template <typename F>
    void withRound(F f);

    void AddUser(const QString& row) override { g_list->AddUser(row); }
    void RemoveUser(const QString& name) override { g_list->RemoveUser(name); }
    void ClearUsers() override { g_list->ClearUsers(); }
    void LoadUsers(const QString& body) override { g_list->LoadUsers(body); }
    void MarkUser(const QString& name) override { g_list->MarkUser(name); }
    void SetMyName(const QString& name) override
    {
        g_list->setMyName(name);
        g_chat->setMyName(name);
    }
    void AddSystemLine(const QString& line) override { g_chat->AddSystemLine(line); }
    void AddNoticeText(const QString& text) override { g_chat->AddNoticeText(text); }
    void AddChatMessage(const QStringList& eightFields) override { g_chat->AddChatMessage(eightFields); }
    // The chat's target list would grow with every name of every input: not kept.
    void UpdateTargets(const QString&, const QString&) override {}
    void ClearChat() override { g_chat->ClearChat(); }
    void SetChatTarget(const QString&) override {}
    void PaintFigure(int chair) override { seat([&](PaintCtx& p) { PaintUserFace(p, chair, false); }); }
    void EraseFigure(int chair) override { seat([&](PaintCtx& p) { PaintUserFace(p, chair, true); }); }
    void PaintDropped(int chair) override { seat([&](PaintCtx& p) { PaintNetBreak(p, chair); }); }
    void PaintHandUp(int chair) override { seat([&](PaintCtx& p) { ::PaintHandUp(p, chair); }); }
    void LayoutTable() override { ComputeLayout(pc()); }
    void RepaintTable() override
    {
        if (picGameBack_Paint(pc())) RefreshStartButton();
    }
    void RepaintFrame() override {}
    void ShowMainWindow(bool) override {}
    void HideStartBut() override { withRound([](RoundCtx& r) { ::HideStartBut(r); }); }
    void RefreshStartButton() override { withRound([](RoundCtx& r) { ::RefreshStartButton(r); }); }
    void UpdateTurn() override { withRound([](RoundCtx& r) { ::UpdateTurn(r); }); }
    void PlayGameSound(int) override {}
    void ShowNotice(const QString&) override {}
    void CloseMsgByOwner(int) override {}
    void InitMsgPool() override {}
    bool OpenGameSet(bool blnDeskMaster, const QString& strAllGameSetInfo) override;

    template <typename F>
    void seat(F draw)
    {
        draw(pc());
        if (!pcTableIdle()) repaintQueued = true;
    }
    bool pcTableIdle();
};

struct Run {
    Client c;
    FuzzRoundView roundView;
    FuzzRoomView roomView;
    FuzzShopView shopView;
    std::deque<Event> queue;
    int depth = 0;
    bool closed = false;
    // The next wait takes every event left, not only those marked.
    bool pauseTakesAll = false;
    PaintCtx pc{c.surf, c.tbl, c.tv, c.pub, c.paint, ImageCache::instance()};

    Run()
    {
        roundView.run = this;
        roomView.run = this;
        shopView.run = this;
        c.pub.strGameTitle = QStringLiteral("四人牌局");
        c.pub.strMyName = QStringLiteral("玩家甲");
        c.pub.strLevelInfo = QStringLiteral("长工_100`短工_200`佃农_500`地主_8000");
        InitPublicState(c.pub, c.tv, g_binDir);
        InitGameDefine(c.tbl);
        InitDaoJuMaket(c.daoJu);
        c.roomView = &roomView;
        c.round.view = &roundView;
        c.daoJu.view = &shopView;
        c.paint.ScreenWidthPx = 1920;
        // Whatever the client answers is a message the room server can read.
        c.sendHook = [this](const QByteArray& m) {
            if (closed) return false;
            if (!ParseMessage(m, Sender::Client).fits) abort();
            return true;
        };
        c.surf.resize(1024, 700);
        ComputeLayout(pc);
        g_list->ClearUsers();
        g_list->setMyName(c.pub.strMyName);
        g_chat->ClearChat();
        g_chat->setMyName(c.pub.strMyName);
    }
    ~Run()
    {
        delete roomView.gameSet;
        // Objects the handlers let go of "later" go now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
};

PaintCtx& FuzzRoomView::pc() { return run->pc; }
bool FuzzRoomView::pcTableIdle() { return run->c.tbl.TableIdle; }

template <typename F>
void FuzzRoomView::withRound(F f)
{
    Client& c = run->c;
    RoundCtx rc{run->pc, c.round, run->roundView, [&c](const QByteArray& m) { return c.SendData(m); }};
    f(rc);
}

bool FuzzRoomView::OpenGameSet(bool blnDeskMaster, const QString& strAllGameSetInfo)
{
    // One dialog a round, as the window keeps it; its warning box waits like the others.
    if (!gameSet || gameSet->answered()) {
        delete gameSet;
        gameSet = new frmGameSet(run->c.pub);
        Client* c = &run->c;
        Run* r = run;
        gameSet->SendGameSetResult = [c](const QByteArray& m) { c->SendData(m); };
        gameSet->ShowInputWarning = [r](const QString&) { RunDeferred(*r, false); };
    }
    return gameSet->SetInitGameSetInfo(blnDeskMaster, strAllGameSetInfo);
}

void CloseClient(Run& r)
{
    // What the window's tear-down does to the state before the program ends.
    if (r.closed) return;
    r.closed = true;
    r.roundView.alive = false;
    r.c.pub.blnClosing = true;
    InitPublicState(r.c.pub, r.c.tv, r.c.pub.strAppPath);
    r.c.pub.blnClosing = true;
    InitGameDefine(r.c.tbl);
}

// Values from the server that readers index by stay in range whatever arrived.
void CheckTable(const TableState& t, const TableViewState& v)
{
    if (!IsWireChair(t.TurnChair) || !IsWireChair(t.bteMyChair) || !IsWirePhase(WireValue(t.GamePhase)) || !IsWireDeckCount(t.DeckCount))
        abort();
    for (const ChairInfo& ch : t.Chairs)
        if (!IsWirePlace(ch.MingCi) || ch.PaiCount > FullHandCount(t.DeckCount)) abort();
    for (uint8_t pos : v.ViewPosOfChair)
        if (pos > 3) abort();
}

void RunEvent(Run& r, const Event& e)
{
    Client& c = r.c;
    RoundCtx rc{r.pc, c.round, r.roundView, [&c](const QByteArray& m) { return c.SendData(m); }};
    switch (e.kind) {
    case EV_MESSAGE:
        if (!e.bytes.isEmpty()) DispatchMessage(c, e.bytes);
        break;
    case EV_CLOCK_TIMEOUT:
        if (r.roundView.clockRunning) YuClock_TimeOut(rc);
        break;
    case EV_READY_TICK:
        if (r.roundView.startTimer) tmrStart_Timer(rc);
        break;
    case EV_CLICK: {
        if (e.bytes.size() < 5) break;
        const auto* b = reinterpret_cast<const uint8_t*>(e.bytes.constData());
        const int x = (b[0] << 8 | b[1]) % 1100 - 40;
        const int y = (b[2] << 8 | b[3]) % 780 - 40;
        const Qt::MouseButtons button = (b[4] & 1) ? Qt::RightButton : Qt::LeftButton;
        picGameBack_MouseMove(rc, Qt::NoButton, x, y);
        if (!r.closed) picGameBack_MouseUp(rc, button, x, y);
        break;
    }
    case EV_LAST_TRICK_TICK:
        if (r.roundView.lastOutPaiTimer) tmrPaintLastOutPai_Timer(rc);
        break;
    case EV_CLOCK_TICK:
        if (r.roundView.clockRunning) YuClock_Tick(rc);
        break;
    case EV_START_CLICK:
        if (r.roundView.startVisible) cmdStart_Click(rc);
        break;
    case EV_GAMESET_BUTTON:
        if (r.roomView.gameSet && !r.roomView.gameSet->answered() && !e.bytes.isEmpty())
            r.roomView.gameSet->cmdUser_Click(uint8_t(e.bytes[0]) & 1);
        break;
    }
    // The repaint a seat change queued runs from the event loop, once the handler is done.
    if (r.roomView.repaintQueued && !r.closed) {
        r.roomView.repaintQueued = false;
        picGameBack_Paint(r.pc);
    }
    CheckTable(c.tbl, c.tv);
}

// Hands the client the events that arrive while it waits: those marked so at the front of the
// queue, or every event left (the pause the prepared table ends in).
void RunDeferred(Run& r, bool all)
{
    if (r.closed || r.depth >= kMaxNesting) return;
    ++r.depth;
    // While the dispatcher holds messages back the link delivers none (and so nothing behind one).
    while (!r.closed && !r.queue.empty() && (all || r.queue.front().during) &&
           !(r.queue.front().kind == EV_MESSAGE && r.c.dispatch.linkHeld)) {
        const Event e = std::move(r.queue.front());
        r.queue.pop_front();
        RunEvent(r, e);
    }
    --r.depth;
}

void Feed(Run& r, const QByteArray& msg)
{
    Event e;
    e.bytes = msg;
    RunEvent(r, e);
}

QString Row(const QString& name, int chair, const QString& watched = QString(), int hand = 0)
{
    return JoinUserRow({name, "10001", "150", "150", watched, "20", "55", "5", "11", "8", "1", "0",
                        QString::number(1001 + chair), QString::number(chair), QString::number(hand), "0"});
}

const CardList kMyHand = {0, 13, 26, 39, 2, 15, 7, 20, 10, 23, 11, 24, 52};

void Prepare(Run& r, uint8_t state)
{
    const bool spectator = state == ST_SPECTATOR;
    const QString me = spectator ? QStringLiteral("旁观者") : QStringLiteral("玩家甲");
    r.c.pub.strMyName = me;
    QStringList rows = {Row("玩家甲", 0), Row("玩家乙", 1, QString(), 1), Row("玩家丙", 2), Row("玩家丁", 3, QString(), 1)};
    rows.append(Row(spectator ? me : QStringLiteral("路人"), 0, QStringLiteral("玩家甲")));
    Feed(r, BuildIdentity(me, QStringLiteral("玩家甲")));
    Feed(r, BuildUserList(rows));
    Feed(r, BuildDaoJuText(DJ_LIST, "2`道具`礼物`2`5001`1`鲜花`3`48`100`90`80`70`0`5007`0`双倍积分卡`1`24`500`450`400`350`1"));
    Feed(r, BuildDaoJuText(DJ_MY_LIST, "5001:2:2011102318:5007:1:2011102400"));
    if (spectator) {
        SnapshotGame g;
        g.TurnChair = 2;
        g.GamePhase = 2;
        g.MaxOutPai = {1, 1, 1, 7, 2, 0, 0, 0};
        g.PaiCount = {13, 11, 13, 13};
        g.OutPai[1] = {7, 20};
        g.MyPai = kMyHand;
        Feed(r, BuildSnapshotGame(g));
        return;
    }
    Feed(r, BuildSnapshotIdle({false, true, false, true}, 1));
    Feed(r, BuildGameSet(false, 0, false, QString()));
    if (state == ST_IDLE) return;
    const uint8_t lead = state == ST_DEALT ? 1 : 0;
    Feed(r, BuildReady(0));
    Feed(r, BuildHandUp(2, QStringLiteral("玩家甲")));
    Feed(r, BuildGameStart(5, 1, 0, 30, lead));
    Feed(r, BuildDeal(false, kMyHand, {}));
    if (state != ST_TRICK_PAUSE) return;
    // Everybody passed on the own play: the trick is won, and what follows arrives in its pause.
    Feed(r, BuildOutPaiNotice(1, 2, 0, 0, {52}));
    Feed(r, BuildOutPaiNotice(2, 2, 0, 1, {kPassCode}));
    Feed(r, BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}));
}

// What a prepared table leaves behind, taken once per table and put back for every input: the same
// state the messages would build again, without their drawing.
struct PreparedTable {
    PublicState pub;
    TableState tbl;
    DaoJuState daoJu;
    RoundState round;
    QImage surface;
    PaintState paint;
    BasicRoundView view;
    QStringList rows;
};

PreparedTable Take(Run& r)
{
    PreparedTable p{r.c.pub, r.c.tbl, r.c.daoJu, r.c.round, r.c.surf.image(), r.c.paint, r.roundView, {}};
    for (const QString& name : g_list->userNames()) p.rows.append(g_list->FindUser(name));
    return p;
}

void Restore(Run& r, const PreparedTable& p)
{
    r.c.pub = p.pub;
    r.c.tbl = p.tbl;
    r.c.daoJu = p.daoJu;
    r.c.daoJu.view = &r.shopView;
    r.c.round = p.round;
    r.c.round.view = &r.roundView;
    r.c.surf.image() = p.surface;
    r.c.paint = p.paint;
    static_cast<BasicRoundView&>(r.roundView) = p.view;
    g_list->ClearUsers();
    for (const QString& row : p.rows) g_list->AddUser(row);
    g_list->setMyName(r.c.pub.strMyName);
    g_chat->setMyName(r.c.pub.strMyName);
}

std::array<std::optional<PreparedTable>, ST_COUNT> g_prepared;

}  // namespace

// The program's pause, as the fuzzer has it: what arrives during the wait is handled at once.
void WaitTicks(int, const bool& blnClosing)
{
    if (!g_run || blnClosing) return;
    RunDeferred(*g_run, std::exchange(g_run->pauseTakesAll, false));
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    g_binDir = qEnvironmentVariable("KVRN_BIN_DIR");
    if (g_binDir.isEmpty()) {
        // No pictures: every drawing leaves them out, the handlers run all the same.
        static QTemporaryDir empty;
        g_binDir = empty.path();
    }
    g_list = new TavList;
    g_chat = new TavChat;
    // The widgets go before the application does, as they would with the window.
    std::atexit([] {
        delete g_list;
        delete g_chat;
        g_list = nullptr;
        g_chat = nullptr;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t state = data[0] % ST_COUNT;
    Run r;
    g_run = &r;
    if (!g_prepared[state]) {
        Prepare(r, state);
        g_prepared[state] = Take(r);
    } else {
        Restore(r, *g_prepared[state]);
    }
    r.queue = ParseEvents(data + 1, size - 1);
    if (state == ST_TRICK_PAUSE) {
        // The last pass wins the trick for the own play; every event arrives in its pause.
        r.pauseTakesAll = true;
        Feed(r, BuildOutPaiNotice(0, 1, 0, 3, {kPassCode}));
    }
    while (!r.closed && !r.queue.empty()) {
        const Event e = std::move(r.queue.front());
        r.queue.pop_front();
        RunEvent(r, e);
    }
    // Every wait has returned: nothing is nested and nothing is held any more.
    if (r.c.dispatch.depth != 0 || (!r.closed && (!r.c.dispatch.held.empty() || r.c.dispatch.linkHeld))) abort();
    g_run = nullptr;
    return 0;
}
