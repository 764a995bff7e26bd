// The message codec: GBK bodies behind header bytes, and big-endian integers.
#include <gtest/gtest.h>

#include "protocol/codec.h"

namespace {

QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

TEST(BuildPacket, ChineseBackquoteAndDigit)
{
    QByteArray out;
    ASSERT_TRUE(BuildPacket(QStringLiteral("中文`1"), out, 2, Bytes({130, 0})));
    // 中 = D6 D0, 文 = CE C4 in GBK.
    EXPECT_EQ(out, Bytes({130, 0, 0xD6, 0xD0, 0xCE, 0xC4, 0x60, 0x31}));
    EXPECT_EQ(DecodePacketText(out, 2), QStringLiteral("中文`1"));
}

TEST(BuildPacket, EmptyBodyLeavesOutputUntouched)
{
    QByteArray out("keep");
    EXPECT_FALSE(BuildPacket(QString(), out, 2, Bytes({130, 0})));
    EXPECT_EQ(out, QByteArray("keep"));
}

TEST(BuildPacket, HeaderLengthTakesThatManyBytes)
{
    QByteArray out;
    ASSERT_TRUE(BuildPacket("a", out, 1, Bytes({113, 1, 9})));
    EXPECT_EQ(out, Bytes({113, 'a'}));
    ASSERT_TRUE(BuildPacket("a", out, 0, Bytes({113, 1})));
    EXPECT_EQ(out, QByteArray("a"));
    ASSERT_TRUE(BuildPacket("a", out, 5, Bytes({113, 1})));  // only what the header has
    EXPECT_EQ(out, Bytes({113, 1, 'a'}));
}

TEST(BuildPacket, UnrepresentableCharactersAreDropped)
{
    QByteArray out;
    // An emoji (outside the BMP) and a Hangul syllable have no GBK code.
    ASSERT_TRUE(BuildPacket(QStringLiteral("a\U0001F600b가c"), out, 0, QByteArray()));
    EXPECT_EQ(out, QByteArray("abc"));
    // The euro sign has a one-byte code above 127 that every receiver would read as the lead
    // of a pair, dropping the whole text: it is not sent either.
    ASSERT_TRUE(BuildPacket(QStringLiteral("1€2"), out, 0, QByteArray()));
    EXPECT_EQ(out, QByteArray("12"));
    EXPECT_EQ(DecodePacketText(out, 0), QStringLiteral("12"));
    // A body of nothing but such characters still counts as a body.
    ASSERT_TRUE(BuildPacket(QStringLiteral("\U0001F600"), out, 1, Bytes({7})));
    EXPECT_EQ(out, Bytes({7}));
}

// Characters GBK cannot send, inside runs of Chinese text: dropped one by one, the characters
// around them kept.
TEST(BuildPacket, UnrepresentableInsideChineseRuns)
{
    const QString han = QStringLiteral("中文");
    const QByteArray want = EncodeGbk(QStringLiteral("中")) + EncodeGbk(QStringLiteral("文"));
    ASSERT_EQ(want.size(), 4);
    const struct {
        const char* what;
        QString middle;
    } cases[] = {
        {"emoji", QStringLiteral("\U0001F600")},
        {"euro sign", QStringLiteral("€")},
        {"Hangul", QStringLiteral("가")},
        {"lone high surrogate", QString(QChar(0xD800))},
        {"lone low surrogate", QString(QChar(0xDC00))},
        {"several", QStringLiteral("가€\U0001F600")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeGbk(han.left(1) + c.middle + han.mid(1)), want) << c.what;
        EXPECT_EQ(EncodeGbk(QStringLiteral("a") + c.middle + QStringLiteral("长工") + c.middle),
                  QByteArray("a") + EncodeGbk(QStringLiteral("长工")))
            << c.what;
    }
}

TEST(DecodePacketText, RoundTripOfMixedText)
{
    const QString text = QStringLiteral("用户名`长工_100`ABC xyz 0123`恶霸");
    QByteArray out;
    ASSERT_TRUE(BuildPacket(text, out, 3, Bytes({105, 2, 7})));
    EXPECT_EQ(DecodePacketText(out, 3), text);
    EXPECT_EQ(DecodePacketText(out, 0), QStringLiteral("i\x02\x07") + text);  // header bytes below 128 read as text
}

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    int start;
    QString text;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, Text)
{
    EXPECT_EQ(DecodePacketText(GetParam().bytes, GetParam().start), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Decode,
    ::testing::Values(
        DecodeCase{"trailing_lead_byte", Bytes({130, 0, 'a', 'b', 0xB0}), 2, QString()},
        DecodeCase{"lead_then_ascii_control", Bytes({0xB0, 0x0A, 'a'}), 0, QString()},
        DecodeCase{"lead_0x80", Bytes({0x80, 0x41}), 0, QString()},
        DecodeCase{"lead_0xFF", Bytes({0xFF, 0xA1}), 0, QString()},
        DecodeCase{"trail_0x7F", Bytes({0xB0, 0x7F}), 0, QString()},
        DecodeCase{"valid_pair", Bytes({0xB0, 0xA1}), 0, QStringLiteral("啊")},
        DecodeCase{"start_inside", Bytes({0xB0, 0xA1, 'x'}), 2, QStringLiteral("x")},
        DecodeCase{"start_at_end", Bytes({1, 2}), 2, QString()},
        DecodeCase{"start_negative", Bytes({'a'}), -1, QString()},
        DecodeCase{"empty", QByteArray(), 0, QString()},
        DecodeCase{"header_only", Bytes({130, 2}), 2, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodePacketText, StartingOnATrailByteIsHarmless)
{
    // Reading from the middle of a pair must not crash; the text is whatever the bytes give.
    const QByteArray b = Bytes({0xD6, 0xD0, 0xCE, 0xC4});
    EXPECT_EQ(DecodePacketText(b, 2), QStringLiteral("文"));
    (void)DecodePacketText(b, 1);
}

struct LongCase {
    const char* name;
    QByteArray bytes;
    int index;
    bool ok;
    int32_t value;
};

class ReadLong : public ::testing::TestWithParam<LongCase> {};

TEST_P(ReadLong, Value)
{
    const LongCase& c = GetParam();
    int32_t v = 12345;
    EXPECT_EQ(ReadLongBE(v, c.bytes, c.index), c.ok);
    EXPECT_EQ(v, c.ok ? c.value : 12345);  // untouched on failure
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLong,
    ::testing::Values(LongCase{"minus_two", Bytes({0xFF, 0xFF, 0xFF, 0xFE}), 0, true, -2},
                      LongCase{"two_fifty_six", Bytes({0, 0, 1, 0}), 0, true, 256},
                      LongCase{"at_offset", Bytes({9, 9, 0x7F, 0xFF, 0xFF, 0xFF}), 2, true, 2147483647},
                      LongCase{"most_negative", Bytes({0x80, 0, 0, 0}), 0, true, int32_t(-2147483647 - 1)},
                      LongCase{"three_left", Bytes({1, 0, 0, 1}), 1, false, 0},
                      LongCase{"index_past_end", Bytes({1, 2, 3, 4}), 9, false, 0},
                      LongCase{"index_negative", Bytes({1, 2, 3, 4}), -1, false, 0},
                      LongCase{"empty", QByteArray(), 0, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
