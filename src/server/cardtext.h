#pragma once
// Cards as the room's log writes them: the rank (3 4 5 6 7 8 9 10 J Q K A 2) followed by the
// suit letter a..d (suit 0..3), "SJ" and "BJ" for the jokers; a list is these joined by blanks.
// The log is read back by tests and scripts, so the text parses back to the same codes.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

QString CardText(uint8_t code);
QString CardsText(const std::vector<uint8_t>& cards);

// The code of one card's text; nothing for a text that is no card.
std::optional<uint8_t> ParseCardText(const QString& text);
// The codes of a list; nothing when any word is no card.
std::optional<std::vector<uint8_t>> ParseCardsText(const QString& text);
