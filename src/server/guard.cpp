#include "server/guard.h"

#include <algorithm>

ChatVerdict ChatGuard::admit(const void* sender, const QStringList& fields, qint64 nowMs, bool& firstRefusal)
{
    firstRefusal = false;
    // Senders that have not chatted for a while hold no state worth keeping.
    if (buckets_.size() > 256) {
        for (auto it = buckets_.begin(); it != buckets_.end();) {
            if (nowMs - it->second.stamp >= qint64(kChatBurst) * kChatRefillMs) it = buckets_.erase(it);
            else ++it;
        }
    }
    auto [it, fresh] = buckets_.try_emplace(sender);
    Bucket& b = it->second;
    if (fresh) b.stamp = nowMs;
    b.tokens = std::min<double>(kChatBurst, b.tokens + double(std::max<qint64>(0, nowMs - b.stamp)) / kChatRefillMs);
    b.stamp = nowMs;
    qsizetype chars = 0;
    for (const QString& f : fields) chars += f.size();
    ChatVerdict v = ChatVerdict::Relay;
    if (chars > kMaxChatChars) v = ChatVerdict::TooLong;
    else if (b.tokens < 1) v = ChatVerdict::TooFast;
    else b.tokens -= 1;
    // A run of refusals is logged once, whatever its lines were refused for.
    firstRefusal = v != ChatVerdict::Relay && !b.refusing;
    b.refusing = v != ChatVerdict::Relay;
    return v;
}

QString LogSafe(const QString& line)
{
    QString out;
    out.reserve(std::min<qsizetype>(line.size(), kMaxLogChars) + 8);
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t ch = line.at(i).unicode();
        // C0, DEL, C1, and the Unicode line and paragraph separators.
        const bool control = ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || ch == 0x2028 || ch == 0x2029;
        if (control) out += QStringLiteral("\\x%1").arg(int(ch), ch > 0xFF ? 4 : 2, 16, QLatin1Char('0'));
        else out += line.at(i);
        if (out.size() > kMaxLogChars) break;
    }
    if (out.size() > kMaxLogChars) {
        qsizetype keep = kMaxLogChars - 1;
        if (out.at(keep - 1).isHighSurrogate()) --keep;
        out.truncate(keep);
        out += QChar(0x2026);
    }
    return out;
}

QString Clipped(const QString& text, int most)
{
    if (text.size() <= most) return text;
    qsizetype keep = std::max(0, most - 1);
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) --keep;
    return text.left(keep) + QChar(0x2026);
}
