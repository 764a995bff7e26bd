#pragma once
// A round flow to drive in tests: the table's state and surface over the program's generated
// pictures, the flow's state, a view that records what the window would have shown, and a
// sender that records what would have gone to the server.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <functional>

#include "platform/draw/imagecache.h"
#include "platform/draw/surface.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "round/roundflow.h"
#include "rules/gamedefine.h"
#include "rules/publicstate.h"

namespace roundtest {

struct FakeView : BasicRoundView {
    QList<QPair<QString, QString>> msgs;      // text, title
    QList<QPair<QString, QString>> warnings;  // title, text
    QStringList lines;
    QList<int> sounds;
    int closes = 0;
    int clockStarts = 0;
    // Runs while a box is "open" (other messages may arrive meanwhile).
    std::function<void()> whileBoxOpen;

    void ClockStart(int seconds, int warnSeconds) override
    {
        ++clockStarts;
        BasicRoundView::ClockStart(seconds, warnSeconds);
    }
    void ShowMsg(const QString& text, const QString& title) override
    {
        msgs.append({text, title});
        if (whileBoxOpen) std::exchange(whileBoxOpen, nullptr)();
    }
    void ShowWarning(const QString& title, const QString& text) override
    {
        warnings.append({title, text});
        moveBoxOpen = true;
        if (whileBoxOpen) std::exchange(whileBoxOpen, nullptr)();
        moveBoxOpen = false;
    }
    void ShowRefusal(const QString& text, const QString& title) override
    {
        moveBoxOpen = true;
        ShowMsg(text, title);
        moveBoxOpen = false;
    }
    void CloseMoveBoxes() override
    {
        BasicRoundView::CloseMoveBoxes();
        moveBoxOpen = false;
    }
    // A box about the own move is open and was not closed.
    bool moveBoxOpen = false;
    void AddSystemLine(const QString& line) override { lines.append(line); }
    void PlayGameSound(int n) override { sounds.append(n); }
    void CloseMainWindow() override
    {
        ++closes;
        alive = false;
    }
};

// The program folder with the generated pictures (build/bin).
inline QString ProgramDir() { return qEnvironmentVariable("KVRN_BIN_DIR") + QStringLiteral("/"); }

struct Round {
    Surface surf;
    TableState ts;
    TableViewState tv;
    PublicState ps;
    PaintState p;
    ImageCache cache;
    PaintCtx pc{surf, ts, tv, ps, p, cache};
    RoundState rs;
    FakeView view;
    QList<QByteArray> sent;
    bool linkUp = true;
    RoundCtx ctx{pc, rs, view, [this](const QByteArray& m) {
                     if (!linkUp) return false;
                     sent.append(m);
                     return true;
                 }};

    explicit Round(int w = 1024, int h = 700)
    {
        ps.strAppPath = ProgramDir();
        ps.strParentPath = ProgramDir() + QStringLiteral("../");
        ps.strGameTitle = QStringLiteral("四人牌局");
        ps.strMyName = QStringLiteral("player0");
        p.ScreenWidthPx = 1920;
        InitGameDefine(ts);
        rs.view = &view;
        surf.resize(w, h);
        ComputeLayout(pc);
    }

    // Four players seated, this client viewing chair `mine` (as a spectator when asked), the table
    // joined.
    void Seat(int mine = 0, bool spectator = false)
    {
        for (int c = 0; c < 4; ++c) {
            ts.Chairs[size_t(c)].Name = QStringLiteral("player%1").arg(c);
            ts.Chairs[size_t(c)].IconNo = c;
        }
        ts.strViewOwner = ts.Chairs[size_t(mine)].Name;
        ts.bteMyChair = uint8_t(mine);
        ts.blnPangGuan = spectator;
        static constexpr uint8_t kPos[4] = {2, 3, 0, 1};
        for (int k = 0; k < 4; ++k) tv.ViewPosOfChair[size_t((mine + k) % 4)] = kPos[k];
        ps.TableJoined = 1;
    }

    void feed(const QByteArray& m) { HandleRoundMsg(ctx, m); }

    // A game started and dealt: one deck, `lead` leads, the hand as given (the others' hands are
    // not this client's).
    void Deal(const CardList& mine, uint8_t lead = 0, uint8_t turnSeconds = 30, uint8_t autoOutLimit = 5)
    {
        feed(BuildGameStart(autoOutLimit, 1, 0, turnSeconds, lead));
        feed(BuildDeal(false, FullHand(mine), {}));
        sent.clear();
    }

    // The given cards made up to 13 with cards not among them (from the low spades up).
    static CardList FullHand(const CardList& mine)
    {
        CardList hand = mine;
        for (uint8_t code = 0; code < 54 && hand.size() < 13; ++code)
            if (std::find(mine.begin(), mine.end(), code) == mine.end()) hand.push_back(code);
        return hand;
    }

    // Raises the cards of the own hand with these codes.
    void Raise(const CardList& cards)
    {
        tv.PaiSelected.redim(ts.MyPai.upperBound());
        for (const uint8_t card : cards)
            for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
                if (ts.MyPai[i] == card && tv.PaiSelected[i] == 0) {
                    tv.PaiSelected[i] = 1;
                    break;
                }
    }

    // The centre of own hand card i (1-based), in its unraised band.
    QPoint CardPoint(int i) const
    {
        const int n = ts.MyPai.upperBound();
        const int left = p.PaiX[2] - ((n - 1) * p.PkSpace + p.PkWidth) / 2;
        return {left + (i - 1) * p.PkSpace + p.PkSpace / 2, p.PaiY[2] + p.PkHeight / 2 - 10};
    }
    // The middle of play button i and of option button i.
    QPoint OutButPoint(int i) const
    {
        int x = 0, y = 0;
        OutButRect(pc, i, x, y);
        return {x + 30, y + 14};
    }
    QPoint OptButPoint(int i) const { return {p.OptButX + 22, p.OptButY + i * 29 + 12}; }

    // Hover then release the left (or another) button at a point.
    void Click(QPoint pt, Qt::MouseButton b = Qt::LeftButton)
    {
        picGameBack_MouseMove(ctx, Qt::NoButton, pt.x(), pt.y());
        picGameBack_MouseUp(ctx, b, pt.x(), pt.y());
    }

    QList<QByteArray> sentOf(MsgKind k) const
    {
        QList<QByteArray> out;
        for (const QByteArray& m : sent)
            if (ParseMessage(m, Sender::Client).kind == k) out.append(m);
        return out;
    }
};

inline CardList Cards(const ByteArr& a) { return a.cards(); }

}  // namespace roundtest
