#pragma once
// Reads the room's log as an observer: every deal, play, trick and score line is checked against
// the rules library, so a test knows that every play was held and allowed, every card is
// accounted for and the points add up.
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "rules/cards.h"
#include "rules/paixing.h"
#include "server/cardtext.h"

namespace servertest {

// One game's log lines, checked against the rules as an observer would: every play was held
// and allowed, every card is accounted for, and the points add up.
struct GameCheck {
    std::array<std::vector<uint8_t>, 4> hands;
    std::vector<uint8_t> spare;
    int32_t trickFen = 0;
    std::array<int32_t, 2> team{};
    PaiXingInfo max;
    bool leading = true;
    bool ss = false;
    int plays = 0;
    QStringList problems;
};

inline QString Field(const QString& line, const QString& key)
{
    const QRegularExpression re(QStringLiteral("(?:^| )%1=([^=]*?)(?= \\w+=|$)").arg(key));
    const auto m = re.match(line);
    return m.hasMatch() ? m.captured(1) : QString();
}

inline void CheckLogLine(std::map<int, GameCheck>& games, const QString& line, int decks)
{
    const QString game = Field(line, QStringLiteral("game"));
    if (game.isEmpty()) return;   // a line about the room, not a game
    const int no = game.toInt();
    GameCheck& g = games[no];
    const QString what = line.section(QLatin1Char(' '), 0, 0);
    const int chair = Field(line, QStringLiteral("chair")).toInt();
    if (what == QLatin1String("deal")) {
        g.hands[size_t(chair)] = ParseCardsText(Field(line, QStringLiteral("cards"))).value_or(std::vector<uint8_t>{});
    } else if (what == QLatin1String("spare")) {
        g.spare = ParseCardsText(Field(line, QStringLiteral("cards"))).value_or(std::vector<uint8_t>{});
    } else if (what == QLatin1String("play")) {
        std::vector<uint8_t> cards = ParseCardsText(Field(line, QStringLiteral("cards"))).value_or(std::vector<uint8_t>{});
        for (uint8_t c : cards) {
            auto& h = g.hands[size_t(chair)];
            const auto it = std::find(h.begin(), h.end(), c);
            if (it == h.end()) g.problems << QStringLiteral("not held: ") + line;
            else h.erase(it);
        }
        QString msg;
        PaiXingInfo info;
        const bool ok = g.leading ? CheckFirstOutPai(cards.data(), int(cards.size()), msg, info)
                                  : CheckFollowOutPai(cards.data(), int(cards.size()), g.max, g.ss, msg, info);
        if (!ok) g.problems << msg + QStringLiteral(": ") + line;
        if (g.leading) g.ss = false;
        if (info[1] == PX_ShuangShun) g.ss = true;
        info[0] = uint8_t(chair);
        g.max = info;
        g.trickFen += CountFenPai(cards.data(), int(cards.size()));
        g.leading = false;
        ++g.plays;
    } else if (what == QLatin1String("trick")) {
        g.team[size_t(Field(line, QStringLiteral("winner")).toInt() & 1)] += g.trickFen;
        if (Field(line, QStringLiteral("fen")).toInt() != g.trickFen) g.problems << QStringLiteral("trick points: ") + line;
        g.trickFen = 0;
        g.leading = true;
        g.ss = false;
    } else if (what == QLatin1String("over")) {
        g.team[size_t(g.max[0] & 1)] += g.trickFen;
        const QStringList score = Field(line, QStringLiteral("score")).split(QLatin1Char(','));
        if (score.size() != 2 || score[0].toInt() != g.team[0] || score[1].toInt() != g.team[1])
            g.problems << QStringLiteral("scores: ") + line;
        int32_t left = 0;
        for (const auto& h : g.hands) left += CountFenPai(h.data(), int(h.size()));
        const int32_t spare = CountFenPai(g.spare.data(), int(g.spare.size()));
        if (g.team[0] + g.team[1] + left + spare != 100 * decks) g.problems << QStringLiteral("points lost: ") + line;
        if (left != Field(line, QStringLiteral("leftfen")).toInt()) g.problems << QStringLiteral("cards left: ") + line;
        int sum = 0;
        for (const QString& c : Field(line, QStringLiteral("changes")).split(QLatin1Char(','))) sum += c.toInt();
        if (sum != 0) g.problems << QStringLiteral("changes do not add up: ") + line;
    }
}

}  // namespace servertest
