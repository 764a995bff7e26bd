#pragma once
// The one reader of received bytes: every decoder walks a message with it, and it never reads
// past the message's end.
#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <vector>

class ByteReader {
public:
    ByteReader(const uint8_t* p, qsizetype len, qsizetype pos) : p_(p), len_(p ? len : 0), pos_(pos) {}
    ByteReader(const QByteArray& msg, qsizetype pos)
        : ByteReader(reinterpret_cast<const uint8_t*>(msg.constData()), msg.size(), pos)
    {
    }

    bool byte(uint8_t& v)
    {
        if (pos_ < 0 || pos_ >= len_) return false;
        v = p_[pos_++];
        return true;
    }
    // Big-endian, unsigned.
    bool be16(int32_t& v)
    {
        if (pos_ < 0 || pos_ + 2 > len_) return false;
        v = int32_t(p_[pos_]) * 256 + p_[pos_ + 1];
        pos_ += 2;
        return true;
    }
    // Big-endian, signed.
    bool be32(int32_t& v)
    {
        if (pos_ < 0 || pos_ + 4 > len_) return false;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u = (u << 8) | p_[pos_++];
        v = int32_t(u);
        return true;
    }
    // n cards, or none (false) when fewer are left.
    bool cards(int n, std::vector<uint8_t>& out)
    {
        out.clear();
        if (n < 0 || pos_ < 0 || pos_ + n > len_) return false;
        out.assign(p_ + pos_, p_ + pos_ + n);
        pos_ += n;
        return true;
    }
    // A count byte and that many cards. False when the message ends first; `out` then holds the
    // cards that were there (none without the count).
    bool countedCards(std::vector<uint8_t>& out)
    {
        out.clear();
        uint8_t n = 0;
        if (!byte(n)) return false;
        const qsizetype have = pos_ < len_ ? std::min<qsizetype>(n, len_ - pos_) : 0;
        out.assign(p_ + pos_, p_ + pos_ + have);
        pos_ += have;
        return have == n;
    }
    // Everything from the position on.
    qsizetype left() const { return pos_ < len_ ? len_ - pos_ : 0; }

private:
    const uint8_t* p_;
    qsizetype len_;
    qsizetype pos_;
};
