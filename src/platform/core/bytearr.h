#pragma once
// A byte array used from index 1, the way hands, plays and messages' card lists are kept:
// index 0 exists but holds no card, and an empty array has upper bound 0.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

class ByteArr {
public:
    ByteArr() = default;
    // The given cards at positions 1..n.
    ByteArr(std::initializer_list<uint8_t> cards) { assign(cards.begin(), int(cards.size())); }
    static ByteArr fromCards(const uint8_t* p, int n) { ByteArr a; a.assign(p, n); return a; }
    static ByteArr fromVector(const std::vector<uint8_t>& cards) { return fromCards(cards.data(), int(cards.size())); }

    int upperBound() const { return v_.size() <= 1 ? 0 : int(v_.size()) - 1; }
    int count() const { return upperBound(); }
    bool empty() const { return upperBound() == 0; }

    // Unchecked access for indexes the caller has checked (0..upperBound()).
    uint8_t& operator[](int i) { return v_[size_t(i)]; }
    uint8_t operator[](int i) const { return v_[size_t(i)]; }
    // Checked read: 0 outside the array.
    uint8_t at(int i) const { return (i >= 0 && size_t(i) < v_.size()) ? v_[size_t(i)] : 0; }

    // Resize to positions 0..ub keeping the contents (new positions are 0); ub <= 0 empties.
    void redim(int ub) { if (ub <= 0) v_.clear(); else v_.resize(size_t(ub) + 1, 0); }
    void clear() { v_.clear(); }
    void append(uint8_t c) { if (v_.empty()) v_.push_back(0); v_.push_back(c); }

    // Positions 1..upperBound() as a plain vector.
    std::vector<uint8_t> cards() const { return v_.size() <= 1 ? std::vector<uint8_t>{} : std::vector<uint8_t>(v_.begin() + 1, v_.end()); }
    // Pointer to position 1 (null when empty).
    const uint8_t* data1() const { return v_.size() <= 1 ? nullptr : v_.data() + 1; }

    bool operator==(const ByteArr& o) const { return cards() == o.cards(); }

private:
    void assign(const uint8_t* p, int n) {
        v_.clear();
        if (!p || n <= 0) return;
        v_.reserve(size_t(n) + 1);
        v_.push_back(0);
        v_.insert(v_.end(), p, p + n);
    }
    std::vector<uint8_t> v_;
};
