#pragma once
// Readable card codes for the rules tests.
#include <cstdint>

// Ranks by their card: three lowest ... two highest.
enum TestRank : uint8_t { R3 = 0, R4, R5, R6, R7, R8, R9, R10, RJ, RQ, RK, RA, R2 };
constexpr uint8_t Card(int suit, int rank) { return uint8_t(suit * 13 + rank); }
constexpr uint8_t SJ = 52;  // small joker
constexpr uint8_t BJ = 53;  // big joker
