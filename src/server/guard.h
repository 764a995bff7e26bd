#pragma once
// The room's guards against peers that would spoil it for the others: the size and the rate of
// chat, and log lines that a peer's text cannot break or forge.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <unordered_map>

// Characters of one chat message, all its fields together. The client lets a player type 200
// characters; names and the rest add little.
inline constexpr int kMaxChatChars = 1000;

// Chat a sender may send: a burst of kChatBurst lines, then one line each kChatRefillMs.
inline constexpr int kChatBurst = 8;
inline constexpr int kChatRefillMs = 500;

enum class ChatVerdict { Relay, TooLong, TooFast };

class ChatGuard {
public:
    // Whether a chat message of `fields` from `sender` (any key that stays the same for one
    // sender) is relayed at nowMs. `firstRefusal` is set for the first line refused after one
    // relayed, so a flood is logged once, not once per line.
    ChatVerdict admit(const void* sender, const QStringList& fields, qint64 nowMs, bool& firstRefusal);

private:
    struct Bucket {
        double tokens = kChatBurst;
        qint64 stamp = 0;
        bool refusing = false;
    };
    std::unordered_map<const void*, Bucket> buckets_;
};

// A line for the log: control characters (line breaks above all) written as \xNN, and cut
// to kMaxLogChars characters, ending with "…". Doing it twice changes nothing.
inline constexpr int kMaxLogChars = 600;
QString LogSafe(const QString& line);

// Characters of a chat line's text the log keeps: every relayed line is logged, and 64 peers
// chatting at the allowed rate with lines of the longest kind would write over 200 KB a second.
inline constexpr int kLoggedChatChars = 120;
// The text cut to `most` characters, ending with "…" when cut.
QString Clipped(const QString& text, int most);
