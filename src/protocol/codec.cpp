#include "protocol/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace {

// A converter that raised an error is replaced by one built in its place: a converter assigned
// over it flags no further errors and lets their substitutes through.
using Gbk = std::optional<QStringEncoder>;

void FreshGbk(Gbk& enc) { enc.emplace("GBK", QStringConverter::Flag::Stateless); }

// GBK as the target systems' code page: one byte for ASCII, two for the rest, never more.
bool EncodeOne(Gbk& enc, QStringView ch, QByteArray& out)
{
    QByteArray b = (*enc)(ch);
    if (enc->hasError()) {
        FreshGbk(enc);
        return false;
    }
    if (b.isEmpty() || b.size() > 2) return false;
    // A single byte above 127 (the code page's euro sign) would read as the lead of a pair on
    // the other side and drop the whole text there: such a character is not sent.
    if (b.size() == 1 && uchar(b[0]) > 127) return false;
    // Some unmappable characters come back as the substitute byte without an error flag.
    if (b.size() == 1 && (b[0] == '?' || b[0] == '\x1a') && !(ch.size() == 1 && ch[0].unicode() == uchar(b[0])))
        return false;
    out.append(b);
    return true;
}

}  // namespace

QByteArray EncodeGbk(const QString& text)
{
    QByteArray out;
    if (text.isEmpty()) return out;
    Gbk enc;
    FreshGbk(enc);
    if (!enc->isValid()) {
        // Without a GBK converter only ASCII can be trusted.
        for (QChar c : text)
            if (c.unicode() < 128) out.append(char(c.unicode()));
        return out;
    }
    out.reserve(text.size() * 2);
    const int n = int(text.size());
    for (int i = 0; i < n;) {
        // ASCII is itself.
        if (text[i].unicode() < 128) {
            out.append(char(text[i].unicode()));
            ++i;
            continue;
        }
        // A run of other characters in one go when every one of them became a pair (GBK gives
        // no more than two bytes a character); otherwise character by character, dropping what
        // cannot be sent.
        int end = i;
        while (end < n && text[end].unicode() >= 128) ++end;
        const QStringView run = QStringView(text).mid(i, end - i);
        const QByteArray b = (*enc)(run);
        if (!enc->hasError() && b.size() == 2 * run.size()) {
            out.append(b);
            i = end;
            continue;
        }
        if (enc->hasError()) FreshGbk(enc);
        while (i < end) {
            int w = 1;
            if (text[i].isHighSurrogate() && i + 1 < end && text[i + 1].isLowSurrogate()) w = 2;
            EncodeOne(enc, QStringView(text).mid(i, w), out);
            i += w;
        }
    }
    return out;
}

bool BuildPacket(const QString& body, QByteArray& output, uint8_t headerLen, const QByteArray& header)
{
    if (body.isEmpty()) return false;
    QByteArray out = header.left(headerLen);
    out.append(EncodeGbk(body));
    output = out;
    return true;
}

QString DecodePacketText(const uint8_t* bytes, int len, int start)
{
    if (!bytes || start < 0 || start >= len) return QString();
    // Check the pairing first: every byte above 127 leads a pair whose second byte must be a
    // GBK trail byte; anything else drops the whole text.
    for (int i = start; i < len;) {
        const uint8_t b = bytes[i];
        if (b <= 127) { ++i; continue; }
        if (i + 1 >= len) return QString();
        const uint8_t t = bytes[i + 1];
        if (b < 0x81 || b > 0xFE || t < 0x40 || t > 0xFE || t == 0x7F) return QString();
        i += 2;
    }
    QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
    if (!dec.isValid()) return QString();
    QString s = dec(QByteArrayView(reinterpret_cast<const char*>(bytes) + start, len - start));
    if (dec.hasError() || s.contains(QChar(QChar::ReplacementCharacter))) return QString();
    return s;
}

QString DecodePacketText(const QByteArray& bytes, int start)
{
    return DecodePacketText(reinterpret_cast<const uint8_t*>(bytes.constData()), int(bytes.size()), start);
}

bool ReadLongBE(int32_t& out, const uint8_t* bytes, int len, int index)
{
    if (!bytes || index < 0 || len - index < 4) return false;
    const uint32_t v = (uint32_t(bytes[index]) << 24) | (uint32_t(bytes[index + 1]) << 16) |
                       (uint32_t(bytes[index + 2]) << 8) | uint32_t(bytes[index + 3]);
    out = int32_t(v);
    return true;
}

bool ReadLongBE(int32_t& out, const QByteArray& bytes, int index)
{
    return ReadLongBE(out, reinterpret_cast<const uint8_t*>(bytes.constData()), int(bytes.size()), index);
}
