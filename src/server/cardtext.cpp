#include "server/cardtext.h"

#include <QStringList>
#include <array>

namespace {

const std::array<const char*, 13> kRankNames{"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2"};
constexpr char kFirstSuit = 'a';
constexpr uint8_t kSmallJokerCode = 52, kBigJokerCode = 53;

}  // namespace

QString CardText(uint8_t code)
{
    if (code == kSmallJokerCode) return QStringLiteral("SJ");
    if (code == kBigJokerCode) return QStringLiteral("BJ");
    if (code > kBigJokerCode) return QStringLiteral("?%1").arg(code);
    return QString::fromLatin1(kRankNames[code % 13]) + QLatin1Char(char(kFirstSuit + code / 13));
}

QString CardsText(const std::vector<uint8_t>& cards)
{
    QStringList words;
    for (uint8_t c : cards) words.append(CardText(c));
    return words.join(QLatin1Char(' '));
}

std::optional<uint8_t> ParseCardText(const QString& text)
{
    if (text == QLatin1String("SJ")) return kSmallJokerCode;
    if (text == QLatin1String("BJ")) return kBigJokerCode;
    if (text.size() < 2) return std::nullopt;
    const int suit = text.back().unicode() - kFirstSuit;
    if (suit < 0 || suit > 3) return std::nullopt;
    const QString rank = text.left(text.size() - 1);
    for (size_t r = 0; r < kRankNames.size(); ++r)
        if (rank == QLatin1String(kRankNames[r])) return uint8_t(suit * 13 + int(r));
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ParseCardsText(const QString& text)
{
    std::vector<uint8_t> out;
    for (const QString& w : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto c = ParseCardText(w);
        if (!c) return std::nullopt;
        out.push_back(*c);
    }
    return out;
}
