#pragma once
// A room-server peer that floods: on its own thread it accepts one client, writes a given number
// of framed copies of one message (each with a running number when asked) as fast as the client
// takes them, then closes the link and notes when. Blocking writes: a client that stops reading
// holds the peer back, as TCP would hold back a real server.
//
// Header-only, POSIX sockets: it needs no event loop, so the client under test keeps its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include "support/timing.h"

namespace testsupport {

class FloodPeer {
public:
    using Clock = std::chrono::steady_clock;

    FloodPeer()
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        const int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(listen_, 1) == 0) {
            socklen_t n = sizeof a;
            ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &n);
            port_ = ntohs(a.sin_port);
        }
    }
    ~FloodPeer()
    {
        if (thread_.joinable()) {
            stop_ = true;
            // Wakes an accept that is still waiting.
            if (listen_ >= 0) ::shutdown(listen_, SHUT_RDWR);
            thread_.join();
        }
        if (listen_ >= 0) ::close(listen_);
    }

    uint16_t port() const { return port_; }

    // Starts the flood: accepts the client, writes `count` frames of `msg` (with the frame's number, big-endian, over bytes
    // numberAt..numberAt+3 when numberAt >= 0), then closes.
    // With startDelayMs the flood begins that long after the client was accepted; with floodMs
    // it ends after that long even when fewer frames went out.
    void start(const QByteArray& msg, int64_t count, int numberAt = -1, int startDelayMs = 0, int floodMs = 0)
    {
        thread_ = std::thread([this, msg, count, numberAt, startDelayMs, floodMs] {
            run(msg, count, numberAt, startDelayMs, floodMs);
        });
    }

    bool accepted() const { return accepted_; }
    bool finished() const { return finished_; }
    int64_t bytesWritten() const { return written_; }
    // When the link was closed (valid once finished()).
    Clock::time_point closedAt() const { return Clock::time_point(Clock::duration(closedAt_.load())); }

private:
    void run(const QByteArray& msg, int64_t count, int numberAt, int startDelayMs, int floodMs)
    {
        const int fd = ::accept(listen_, nullptr, nullptr);
        if (fd < 0) {
            finished_ = true;
            return;
        }
        accepted_ = true;
        // Sends wake up now and then, so the peer can be stopped while the client does not read.
        timeval tv{0, 200 * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        for (int waited = 0; waited < startDelayMs && !stop_; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // A block of frames written at once, refilled with running numbers as it goes.
        const int frameLen = int(msg.size()) + 4;
        const int64_t perBlock = std::max<int64_t>(1, (256 * 1024) / frameLen);
        QByteArray block;
        int64_t sent = 0;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(floodMs);
        while (sent < count && !stop_ && (floodMs <= 0 || Clock::now() < end)) {
            const int64_t n = std::min(perBlock, count - sent);
            block.resize(qsizetype(n * frameLen));
            char* p = block.data();
            for (int64_t i = 0; i < n; ++i, p += frameLen) {
                const uint32_t len = uint32_t(msg.size());
                p[0] = char(len >> 24), p[1] = char(len >> 16), p[2] = char(len >> 8), p[3] = char(len);
                std::memcpy(p + 4, msg.constData(), size_t(msg.size()));
                if (numberAt >= 0) {
                    const uint32_t k = uint32_t(sent + i);
                    p[4 + numberAt] = char(k >> 24), p[5 + numberAt] = char(k >> 16);
                    p[6 + numberAt] = char(k >> 8), p[7 + numberAt] = char(k);
                }
            }
            if (!writeAll(fd, block)) break;
            sent += n;
        }
        // What the client sent (its hello) is read first: closing over unread bytes would reset
        // the connection instead of closing it.
        char sink[4096];
        while (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {}
        closedAt_ = Clock::now().time_since_epoch().count();
        ::close(fd);
        finished_ = true;
    }

    bool writeAll(int fd, const QByteArray& b)
    {
        const char* p = b.constData();
        qsizetype left = b.size();
        while (left > 0 && !stop_) {
            const ssize_t k = ::send(fd, p, size_t(left), MSG_NOSIGNAL);
            if (k < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
            if (k <= 0) return false;
            p += k;
            left -= k;
            written_ += k;
        }
        return left == 0;
    }

    int listen_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> accepted_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int64_t> written_{0};
    std::atomic<Clock::rep> closedAt_{0};
};

}  // namespace testsupport
