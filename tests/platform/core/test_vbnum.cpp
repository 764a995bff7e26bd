#include <gtest/gtest.h>

#include "platform/core/bytearr.h"
#include "platform/core/vbnum.h"

TEST(Val, ReadsTheLeadingNumber)
{
    struct Case { const char* text; double want; };
    const Case cases[] = {
        {"", 0}, {"abc", 0}, {"12", 12}, {"  42", 42}, {"12ab", 12}, {"1 2", 12}, {"-7", -7},
        {"+3", 3}, {"2.5", 2.5}, {".5", 0.5}, {"1e3", 1000}, {"1e", 1}, {"-", 0}, {"３", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.want) << c.text;
}

TEST(CLng, RoundsHalfToEvenAndClamps)
{
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(2.6), 3);
    EXPECT_EQ(CLng(1e12), INT32_MAX);
    EXPECT_EQ(CLng(-1e12), INT32_MIN);
    EXPECT_EQ(ValLng(QStringLiteral("99999999999")), INT32_MAX);
}

TEST(ByteArr, OneBasedWithEmptyUpperBoundZero)
{
    ByteArr a;
    EXPECT_EQ(a.upperBound(), 0);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.at(1), 0);
    a.append(7);
    a.append(9);
    EXPECT_EQ(a.upperBound(), 2);
    EXPECT_EQ(a[1], 7);
    EXPECT_EQ(a[2], 9);
    a.redim(1);
    EXPECT_EQ(a.cards(), std::vector<uint8_t>{7});
    a.redim(0);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ((ByteArr{1, 2, 3}).upperBound(), 3);
}
