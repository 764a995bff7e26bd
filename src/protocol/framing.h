#pragma once
// How messages travel on the byte stream: each message, in both directions, is a 4-byte unsigned
// big-endian length N followed by the N message bytes, 1 <= N <= kMaxFrame.
#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

inline constexpr uint32_t kMaxFrame = 1048576;

// The frame of one message: its length, then its bytes. Empty when the message is empty or longer
// than kMaxFrame (such a message cannot be framed and is never sent).
QByteArray EncodeFrame(QByteArrayView msg);

// Cuts a byte stream into messages. Bytes go in as they arrive, complete messages come out in
// order. Every length is checked as soon as its four bytes are in, so a broken peer is noticed
// without waiting for the bytes it announced; once broken, the decoder stays broken and yields
// nothing more.
class FrameDecoder {
public:
    enum class Status { Frame, NeedMore, Broken };

    // Adds received bytes. Returns false when the stream is (or was already) broken.
    bool append(QByteArrayView bytes);

    // Takes the next complete message out: Frame (msg set), NeedMore, or Broken.
    Status next(QByteArray& msg);

    // Complete messages waiting to be taken.
    int framesReady() const { return framesReady_; }
    // Bytes held that have not been taken out yet.
    qsizetype buffered() const { return buf_.size() - readPos_; }
    // Bytes still missing before the message under way is complete (4 when nothing is under way).
    qsizetype missing() const;
    bool broken() const { return broken_; }

    // Drops everything and starts over (not broken).
    void clear();
    // Gives memory held beyond the waiting bytes back to the system (after a burst).
    void squeeze();
    // Memory currently reserved by the buffer, for measurements.
    qsizetype capacity() const { return buf_.capacity(); }

private:
    void scan();

    QByteArray buf_;
    qsizetype readPos_ = 0;   // start of the first message not taken out yet
    qsizetype scanPos_ = 0;   // start of the first frame whose length has not been checked
    int framesReady_ = 0;
    bool broken_ = false;
};
