#pragma once
// The client's one link to the room server. It carries whole messages: on the wire each message,
// in both directions, is a 4-byte unsigned big-endian length N followed by the N message bytes,
// with 1 <= N <= kMaxFrame. Received bytes are buffered until a frame is complete; every complete
// frame is raised as one DataArrived event, in order. A frame announcing 0 bytes or more than
// kMaxFrame is a broken peer: the link is aborted and Error is raised.
//
// Messages are raised from the event loop, several in one turn (up to kBatchMessages, or until
// kBatchMs have passed), then the loop gets its turn (timers, painting, input) before the next
// batch. A handler that lets further events run before it returns (a nested event loop) sees the
// following messages meanwhile, in order.
//
// Under a flood the link holds little: the socket buffers at most kReadBufferSize bytes, and
// bytes are taken from it only while less than kLookahead bytes of complete messages wait, so a
// fast sender is slowed down by TCP itself instead of filling the client's memory. Each length is checked as soon as
// its four bytes are taken, and the memory of a burst is given back once it has been handled.
//
// The link ends exactly once: Closed when the peer closes it after a whole message, Error for
// every other failure (refused, unreachable, timed out, reset, a close inside a frame, broken
// frame). After either event nothing more is raised. Losing the link ends the session, so the
// messages still waiting when the close is noticed are not raised: the close is looked for
// while they wait (on Linux the socket's TCP state tells it before the bytes ahead of it are
// read), and what is left is read only to tell a clean close from a broken one.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "protocol/framing.h"

class QTcpSocket;

class TavSckClient : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kMaxFrame = ::kMaxFrame;
    // Bytes the socket buffers ahead of the decoder.
    static constexpr qint64 kReadBufferSize = 64 * 1024;
    // Bytes of waiting messages taken ahead from the socket.
    static constexpr qsizetype kLookahead = 256 * 1024;
    // Messages raised in one turn of the event loop, and the time one turn may take.
    static constexpr int kBatchMessages = 512;
    static constexpr int kBatchMs = 8;
    // Decoder memory kept between bursts; more is given back once a burst has been handled.
    static constexpr qsizetype kKeptCapacity = 256 * 1024;

    explicit TavSckClient(QObject* parent = nullptr);
    ~TavSckClient() override;

    // Starts connecting; Connected follows when the link is up, Error when it cannot be made
    // within timeoutSeconds (<= 0: no limit of our own) or is refused. A port outside 1..65535
    // fails at once (the Error event is raised from the event loop, not from inside this call).
    void Connect(const QString& host, int port, int timeoutSeconds);

    // Sends bytes[first..last] as one message. Nothing is sent (false) when the link is not up,
    // the range is empty or outside the array, or the message is longer than kMaxFrame.
    bool Send(const QByteArray& bytes, int first, int last);
    // Hands what Send queued to the system now rather than at the next turn of the event loop
    // (the hello, before the window's first frame is drawn).
    void Flush();

    // Ends the link without raising Closed or Error (used on the way out).
    void Abort();

    // While held, no message is raised and nothing more is taken from the socket (the sender is
    // held back by TCP); the close of the link is still noticed. Used while the receiver cannot
    // take messages yet.
    void setHeld(bool on);
    bool held() const { return held_; }

    bool isConnected() const;
    // Connect was called and the link is neither up nor failed yet.
    bool isConnecting() const;

    // Why the link raised Error, so the program can tell a launcher.
    enum class Failure { None, ConnectFailed, Lost, BrokenFrame };
    Failure failure() const { return failure_; }

    // What the link holds right now, for measurements: bytes the decoder has reserved, and
    // bytes waiting in the socket.
    qsizetype decoderCapacity() const { return frames_.capacity(); }
    qint64 socketBuffered() const;

    // TCP keep-alive probes on the link (applied now and to every later connection).
    void setKeepAlive(bool on);
    bool keepAlive() const { return keepAlive_; }

signals:
    void Connected();
    void DataArrived(const QByteArray& message);
    void Closed();
    void Error();

private:
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onSocketError();
    void onTimeout();
    void scheduleDelivery();
    void deliver();
    void pull();          // takes bytes from the socket while no complete message is waiting
    void fail(Failure why);   // ends the link and raises Error once
    void endQuietly();    // ends the link, raises nothing
    bool checkPeerEnd();  // the peer has closed or reset the link: ends it (true)
    void endAfterPeer(bool reset);

    QTcpSocket* sock_ = nullptr;
    QTimer connectTimer_;
    QTimer peerWatch_;       // looks for the peer's end while messages wait or are held
    FrameDecoder frames_;
    bool ended_ = true;      // no link, or the link's end has been reported
    bool deliveryQueued_ = false;
    bool held_ = false;
    int watchFd_ = -1;       // the connection's second handle (Linux), see onConnected
    bool keepAlive_ = true;
    bool wasConnected_ = false;
    Failure failure_ = Failure::None;
};
