// Cutting the byte stream into messages: pieces, bursts, broken lengths and the memory held.
#include <gtest/gtest.h>

#include <QList>

#include "protocol/framing.h"

namespace {

QList<QByteArray> Drain(FrameDecoder& d)
{
    QList<QByteArray> out;
    QByteArray m;
    while (d.next(m) == FrameDecoder::Status::Frame) out.append(m);
    return out;
}

TEST(EncodeFrame, LengthThenBytesWithinTheLimits)
{
    EXPECT_EQ(EncodeFrame("ab"), QByteArray("\0\0\0\2ab", 6));
    EXPECT_TRUE(EncodeFrame(QByteArray()).isEmpty());
    EXPECT_EQ(EncodeFrame(QByteArray(int(kMaxFrame), 'x')).size(), qsizetype(kMaxFrame) + 4);
    EXPECT_TRUE(EncodeFrame(QByteArray(int(kMaxFrame) + 1, 'x')).isEmpty());
}

TEST(FrameDecoder, AnySplitOfTheStreamGivesTheSameMessagesInOrder)
{
    QList<QByteArray> sent;
    QByteArray stream;
    for (int i = 0; i < 200; ++i) {
        const QByteArray m(1 + (i * 37) % 300, char('a' + i % 26));
        sent.append(m);
        stream += EncodeFrame(m);
    }
    for (int piece : {1, 3, 4, 5, 7, 64, 1000, int(stream.size())}) {
        FrameDecoder d;
        QList<QByteArray> got;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            ASSERT_TRUE(d.append(QByteArrayView(stream).sliced(at, std::min<qsizetype>(piece, stream.size() - at))));
            got += Drain(d);
        }
        EXPECT_EQ(got, sent) << "pieces of " << piece;
        EXPECT_EQ(d.buffered(), 0);
        EXPECT_EQ(d.missing(), 4);
    }
}

TEST(FrameDecoder, MissingCountsDownToTheEndOfTheMessageUnderWay)
{
    FrameDecoder d;
    d.append(QByteArray("\0\0", 2));
    EXPECT_EQ(d.missing(), 2);
    d.append(QByteArray("\0\x0A" "abc", 5));
    EXPECT_EQ(d.missing(), 7);
    EXPECT_EQ(d.framesReady(), 0);
    d.append(QByteArray("defghij", 7));
    EXPECT_EQ(d.framesReady(), 1);
    EXPECT_EQ(d.missing(), 4);
}

struct BrokenCase {
    const char* name;
    QByteArray len;
};

class Broken : public ::testing::TestWithParam<BrokenCase> {};

// A bad length is seen as soon as its four bytes are in, even behind complete messages and
// before a single byte of what it announces; the complete messages ahead of it still come out.
TEST_P(Broken, NoticedAtOnceAfterTheMessagesBeforeIt)
{
    FrameDecoder d;
    EXPECT_FALSE(d.append(EncodeFrame("ok") + GetParam().len));
    EXPECT_TRUE(d.broken());
    QByteArray m;
    ASSERT_EQ(d.next(m), FrameDecoder::Status::Frame);
    EXPECT_EQ(m, QByteArray("ok"));
    EXPECT_EQ(d.next(m), FrameDecoder::Status::Broken);
    EXPECT_FALSE(d.append(EncodeFrame("more")));
    EXPECT_EQ(d.next(m), FrameDecoder::Status::Broken);
    d.clear();
    EXPECT_TRUE(d.append(EncodeFrame("again")));
    EXPECT_EQ(Drain(d), QList<QByteArray>{"again"});
}

INSTANTIATE_TEST_SUITE_P(Lengths, Broken,
                         ::testing::Values(BrokenCase{"zero", QByteArray(4, '\0')},
                                           BrokenCase{"one_over", QByteArray("\x00\x10\x00\x01", 4)},
                                           BrokenCase{"huge", QByteArray("\xFF\xFF\xFF\xFF", 4)}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(FrameDecoder, MemoryOfABurstIsGivenBackOnceTaken)
{
    FrameDecoder d;
    const QByteArray f = EncodeFrame(QByteArray(1000, 'x'));
    for (int i = 0; i < 4000; ++i) d.append(f);   // about 4 MB waiting
    EXPECT_GE(d.capacity(), 4000 * 1004);
    EXPECT_EQ(Drain(d).size(), 4000);
    d.squeeze();
    EXPECT_LT(d.capacity(), 4096);
}

TEST(FrameDecoder, SteadyTrickleKeepsOnlyWhatWaits)
{
    FrameDecoder d;
    const QByteArray f = EncodeFrame(QByteArray(100, 'y'));
    qsizetype most = 0;
    // Every message arrives in two pieces: the buffer must not keep the ones already taken.
    for (int i = 0; i < 20000; ++i) {
        d.append(QByteArrayView(f).sliced(i % 2 ? 52 : 0, i % 2 ? f.size() - 52 : 52));
        Drain(d);
        most = std::max(most, d.buffered());
    }
    EXPECT_LE(most, f.size());
    EXPECT_LT(d.capacity(), 64 * 1024);
}

}  // namespace
