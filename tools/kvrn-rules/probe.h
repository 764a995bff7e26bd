#pragma once
// One command line of the rules probe in, one answer line out (without the line break).
//
//   classify C...                  -> "1 B1 .. B7" (description bytes 1..7, starting from zeros) or "0"
//   first C...                     -> "1 B1 .. B7" or "0 MESSAGE"
//   follow M0 .. M7 S C...         -> "1 B1 .. B7" or "0 MESSAGE" (M = biggest play, S = 双顺 played, 0 or 1)
//   bigger T1 K1 N1 T2 K2 N2       -> "1" or "0"
//   arrange D S C...               -> the arranged cards (D = decks, S = 1 by rank, 0 by group)
//   fen C...                       -> the points of the cards
//
// Every argument is a decimal number 0..255 (digits only, leading zeros allowed). Card codes
// 54..255 are handed to the rules as they are (no such card makes a play). Anything else
// answers "error: ...". No cards: classify answers 0, first and follow refuse as "not a play",
// arrange answers an empty line, fen 0.
#include <string>

std::string ProbeAnswer(const std::string& line);
