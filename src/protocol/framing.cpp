#include "protocol/framing.h"

namespace {

uint32_t ReadU32BE(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t(u[0]) << 24) | (uint32_t(u[1]) << 16) | (uint32_t(u[2]) << 8) | uint32_t(u[3]);
}

}  // namespace

QByteArray EncodeFrame(QByteArrayView msg)
{
    if (msg.isEmpty() || msg.size() > qsizetype(kMaxFrame)) return QByteArray();
    const uint32_t n = uint32_t(msg.size());
    QByteArray frame;
    frame.reserve(msg.size() + 4);
    frame.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    frame.append(msg);
    return frame;
}

bool FrameDecoder::append(QByteArrayView bytes)
{
    if (broken_) return false;
    if (bytes.isEmpty()) return true;
    // Taken-out messages are dropped from the front before the buffer grows, so a steady stream
    // never keeps more than what is still waiting.
    if (readPos_ > 0 && (readPos_ >= buf_.size() / 2 || buf_.size() + bytes.size() > buf_.capacity())) {
        buf_.remove(0, readPos_);
        scanPos_ -= readPos_;
        readPos_ = 0;
    }
    buf_.append(bytes);
    scan();
    return !broken_;
}

void FrameDecoder::scan()
{
    while (!broken_ && buf_.size() - scanPos_ >= 4) {
        const uint32_t len = ReadU32BE(buf_.constData() + scanPos_);
        if (len == 0 || len > kMaxFrame) {
            broken_ = true;
            return;
        }
        if (buf_.size() - scanPos_ - 4 < qsizetype(len)) return;
        scanPos_ += 4 + qsizetype(len);
        ++framesReady_;
    }
}

FrameDecoder::Status FrameDecoder::next(QByteArray& msg)
{
    if (framesReady_ > 0) {
        const uint32_t len = ReadU32BE(buf_.constData() + readPos_);
        msg = buf_.mid(readPos_ + 4, qsizetype(len));
        readPos_ += 4 + qsizetype(len);
        --framesReady_;
        if (readPos_ == buf_.size()) {
            buf_.truncate(0);   // keeps the memory for the next burst; squeeze() gives it back
            readPos_ = scanPos_ = 0;
        }
        return Status::Frame;
    }
    return broken_ ? Status::Broken : Status::NeedMore;
}

qsizetype FrameDecoder::missing() const
{
    const qsizetype have = buf_.size() - scanPos_;
    if (have < 4) return 4 - have;
    return qsizetype(ReadU32BE(buf_.constData() + scanPos_)) + 4 - have;
}

void FrameDecoder::clear()
{
    buf_ = QByteArray();
    readPos_ = scanPos_ = 0;
    framesReady_ = 0;
    broken_ = false;
}

void FrameDecoder::squeeze()
{
    if (readPos_ > 0) {
        buf_.remove(0, readPos_);
        scanPos_ -= readPos_;
        readPos_ = 0;
    }
    if (buf_.isEmpty()) buf_ = QByteArray();
    else buf_.squeeze();
}
