#pragma once
// The message codec: header bytes followed by text in the system code page (GBK), and the
// big-endian integers of game messages. Messages are 0-based QByteArrays: byte 0 is the code.
#include <QByteArray>
#include <QString>
#include <cstdint>

// Output = the first headerLen bytes of header, then body encoded in GBK. Characters GBK cannot
// represent are dropped. An empty body gives False and leaves output untouched.
// A headerLen beyond header's size takes what header has.
bool BuildPacket(const QString& body, QByteArray& output, uint8_t headerLen, const QByteArray& header);

// The GBK text of bytes[start..end]. A lead byte (> 127) as the last byte, or a byte pair that
// is not a GBK character, gives the empty text (the whole text is dropped). A start beyond the
// end gives the empty text.
QString DecodePacketText(const QByteArray& bytes, int start);
QString DecodePacketText(const uint8_t* bytes, int len, int start);

// The signed 32-bit big-endian integer at bytes[index..index+3]; False (out untouched) when
// fewer than four bytes remain from index or index is negative.
bool ReadLongBE(int32_t& out, const QByteArray& bytes, int index);
bool ReadLongBE(int32_t& out, const uint8_t* bytes, int len, int index);

// The GBK bytes of text alone, dropping what GBK cannot represent.
QByteArray EncodeGbk(const QString& text);
