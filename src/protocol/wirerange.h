#pragma once
// What the wire allows of a value before a receiver may index or size anything with it.

inline constexpr bool IsWireChair(int c) { return c >= 0 && c <= 3; }
inline constexpr bool IsWirePhase(int p) { return p == 0 || p == 1 || p == 2 || p == 100; }
inline constexpr bool IsWireDeckCount(int d) { return d == 1 || d == 2; }
inline constexpr bool IsWirePlace(int m) { return m >= 0 && m <= 4; }  // 0: still playing
