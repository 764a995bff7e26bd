// The chat pane: the target list, escaping of everything shown, the ten fields of a typed
// message and how a relayed message is shown.
#include "platform/widgets/tavchat.h"

#include "platform/core/clock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct ChatFixture : ::testing::Test {
    TavChat chat;
    void SetUp() override {
        chat.setMyName("me");
        chat.SetChatTarget("所有人");
        chat.ResetChat();
        chat.setFlag1(true);
        chat.setCaption("聊天室");
        chat.setFlag2(false);
        chat.resize(300, 260);
    }
    QStringList typeAndSend(const QString& text) {
        QSignalSpy sent(&chat, &TavChat::ChatSend);
        chat.input()->setText(text);
        QTest::keyClick(chat.input(), Qt::Key_Return);
        return sent.isEmpty() ? QStringList() : sent.at(0).at(0).toStringList();
    }
};
}

TEST_F(ChatFixture, TargetsKeepEachNameOnce) {
    chat.UpdateTargets("alice", "ADD");
    chat.UpdateTargets("bob", "ADD");
    chat.UpdateTargets("alice", "ADD");
    chat.UpdateTargets("所有人", "ADD");
    chat.UpdateTargets("", "ADD");
    chat.UpdateTargets("carol", "MOVE");
    EXPECT_EQ(chat.targets(), (QStringList{"所有人", "alice", "bob"}));
    chat.UpdateTargets("alice", "DEL");
    chat.UpdateTargets("alice", "DEL");
    chat.UpdateTargets("所有人", "DEL");   // everybody stays
    EXPECT_EQ(chat.targets(), (QStringList{"所有人", "bob"}));
}

TEST_F(ChatFixture, SelectingTargetsAndLosingTheSelectedOne) {
    chat.UpdateTargets("alice", "ADD");
    chat.SetChatTarget("alice");
    EXPECT_EQ(chat.chatTarget(), "alice");
    chat.UpdateTargets("alice", "DEL");
    EXPECT_EQ(chat.chatTarget(), "所有人");
    chat.SetChatTarget("dave");   // not listed yet: listed and chosen
    EXPECT_EQ(chat.chatTarget(), "dave");
    EXPECT_EQ(chat.targets().count("dave"), 1);
    chat.SetChatTarget("所有人");
    EXPECT_EQ(chat.chatTarget(), "所有人");
    EXPECT_EQ(chat.caption(), "聊天室");
}

TEST_F(ChatFixture, EverythingShownIsTextNeverMarkup) {
    chat.AddSystemLine("<b>x</b>");
    chat.AddNoticeText("a & <i>b</i>");
    chat.AddChatMessage({"<img src=x>", "所有人", "<b>x</b>", "#ff0000", "0", "0", "", ""});
    const QString shown = chat.plainText();
    EXPECT_TRUE(shown.contains("<b>x</b>")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("a & <i>b</i>"));
    EXPECT_TRUE(shown.contains("<img src=x>"));
    EXPECT_FALSE(chat.paneHtml().contains("<b>x</b>"));
    EXPECT_FALSE(chat.paneHtml().contains("<img"));
    EXPECT_EQ(chat.lineCount(), 3);
}

TEST_F(ChatFixture, SystemAndNoticeLinesStandApartInColour) {
    chat.AddSystemLine("alice 进来了");
    chat.AddNoticeText("通知");
    const QString html = chat.paneHtml();
    EXPECT_TRUE(html.contains(TavChat::systemColor().name(), Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains(TavChat::noticeColor().name(), Qt::CaseInsensitive));
    EXPECT_NE(TavChat::systemColor(), TavChat::noticeColor());
    chat.ClearChat();
    EXPECT_EQ(chat.plainText(), "");
}

TEST_F(ChatFixture, TypedTextBecomesTenFields) {
    chat.UpdateTargets("alice", "ADD");
    chat.SetChatTarget("alice");
    const QStringList f = typeAndSend("  hi `there`  ");
    ASSERT_EQ(f.size(), TavChat::SendFieldCount);
    EXPECT_EQ(f[0], "me");
    EXPECT_EQ(f[1], "alice");
    EXPECT_EQ(f[2], "me");
    EXPECT_EQ(f[3], "alice");
    EXPECT_EQ(f[4], "hi 'there'");   // no back-quote may reach the joined message
    EXPECT_TRUE(QColor::isValidColorName(f[5]));
    EXPECT_EQ(f[6], "0");
    EXPECT_EQ(f[7], "0");
    EXPECT_TRUE(QTime::fromString(f[8], "hh:mm:ss").isValid());
    EXPECT_EQ(f[9], "");
    EXPECT_EQ(f.join('`').count('`'), 9);
    EXPECT_EQ(chat.input()->text(), "");   // ready for the next line
}

TEST_F(ChatFixture, NothingIsSentForAnEmptyLine) {
    EXPECT_TRUE(typeAndSend("   ").isEmpty());
    QSignalSpy sent(&chat, &TavChat::ChatSend);
    chat.sendButton()->click();
    EXPECT_EQ(sent.count(), 0);
}

TEST_F(ChatFixture, TheSendButtonSendsAndAWhisperNeedsAPerson) {
    QSignalSpy sent(&chat, &TavChat::ChatSend);
    chat.input()->setText("hello");
    chat.findChild<QCheckBox*>()->setChecked(true);
    chat.sendButton()->click();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toStringList()[7], "0");   // a whisper to everybody is no whisper
    chat.SetChatTarget("bob");
    chat.input()->setText("psst");
    chat.sendButton()->click();
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent.at(1).at(0).toStringList()[7], "1");
}

TEST_F(ChatFixture, ARelayedMessageShowsSenderTargetAndText) {
    const QStringList ten = typeAndSend("hello all");
    ASSERT_EQ(ten.size(), 10);
    chat.AddChatMessage(ten.mid(2, 8));
    EXPECT_TRUE(chat.plainText().contains("me 对 所有人 说：hello all")) << chat.plainText().toStdString();
}

TEST_F(ChatFixture, ShortOrOddFieldsAreShownWithoutFailing) {
    chat.AddChatMessage({});
    EXPECT_EQ(chat.lineCount(), 0);
    chat.AddChatMessage({"alice"});
    chat.AddChatMessage({"bob", "", "x", "not-a-colour", "", "", "", ""});
    EXPECT_EQ(chat.lineCount(), 2);
    EXPECT_TRUE(chat.plainText().contains("bob 对 所有人 说：x"));
}

TEST_F(ChatFixture, AWhisperBetweenOthersIsNotShown) {
    chat.AddChatMessage({"alice", "bob", "secret", "#000000", "0", "1", "", ""});
    EXPECT_EQ(chat.lineCount(), 0);
    chat.AddChatMessage({"alice", "me", "for me", "#000000", "0", "1", "", ""});
    EXPECT_TRUE(chat.plainText().contains("alice 悄悄地对 me 说：for me"));
}

TEST_F(ChatFixture, TimeStampsFollowTheSecondFlag) {
    chat.AddChatMessage({"alice", "所有人", "one", "", "0", "0", "12:34:56", ""});
    EXPECT_FALSE(chat.plainText().contains("12:34:56"));
    chat.setFlag2(true);
    chat.AddChatMessage({"alice", "所有人", "two", "", "0", "0", "12:34:56", ""});
    EXPECT_TRUE(chat.plainText().contains("[12:34:56] alice"));
}

TEST_F(ChatFixture, ResetShowsThePageFileBesideTheProgram) {
    QTemporaryDir dir;
    QFile page(dir.filePath("MeChatWeb.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p>欢迎来到聊天室</p></body></html>");
    page.close();
    chat.AddSystemLine("old");
    chat.setAppPath(dir.path() + "/");
    chat.setPageFile("MeChatWeb.htm");
    chat.ResetChat();
    EXPECT_TRUE(chat.plainText().contains("欢迎来到聊天室"));
    EXPECT_FALSE(chat.plainText().contains("old"));
    chat.AddSystemLine("next");
    EXPECT_TRUE(chat.plainText().contains("next"));
}

TEST_F(ChatFixture, FacesComeOnlyFromTheFaceFolder) {
    QTemporaryDir dir;
    QImage face(16, 16, QImage::Format_RGB32);
    face.fill(Qt::yellow);
    ASSERT_TRUE(face.save(dir.filePath("1.png")));
    ASSERT_TRUE(face.save(dir.filePath("2.png")));
    chat.setFacePath(dir.path());
    EXPECT_EQ(chat.faceBox()->count(), 3);   // none, 1.png, 2.png
    chat.faceBox()->setCurrentIndex(2);
    const QStringList f = typeAndSend("");   // a face alone is worth sending
    ASSERT_EQ(f.size(), 10);
    EXPECT_EQ(f[9], "2.png");
    EXPECT_EQ(f[4], "");

    EXPECT_EQ(chat.faceFile("2.png"), QFileInfo(dir.filePath("2.png")).absoluteFilePath());
    for (const char* bad : {"../2.png", "/etc/passwd", "..", "sub/2.png", "3.png", "C:2.png"})
        EXPECT_EQ(chat.faceFile(bad), "") << bad;
    chat.AddChatMessage({"alice", "所有人", "hi", "", "0", "0", "", "1.png"});
    EXPECT_TRUE(chat.paneHtml().contains("<img")) << chat.paneHtml().toStdString();
    chat.ClearChat();
    chat.AddChatMessage({"alice", "所有人", "hi", "", "0", "0", "", "../1.png"});
    EXPECT_FALSE(chat.paneHtml().contains("<img"));
    EXPECT_TRUE(chat.plainText().contains("alice 对 所有人 说：hi"));
}

TEST_F(ChatFixture, TheFirstFlagHidesTheInputRow) {
    chat.show();
    EXPECT_TRUE(chat.input()->isVisible());
    chat.setFlag1(false);
    EXPECT_FALSE(chat.input()->isVisible());
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Whatever arrives, the pane holds a bounded text: long texts and names are cut with "…" (a
// surrogate pair is never split), and only the last lines stay.
TEST_F(ChatFixture, ReceivedTextsAreCutAndOldLinesGo) {
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");   // one character, two UTF-16 units
    const struct {
        const char* name;
        QString text;
        QString shownEnd;
    } cases[] = {
        {"fits", QString(TavChat::MaxShownChars, 'a'), QString(TavChat::MaxShownChars, 'a')},
        {"one over", QString(TavChat::MaxShownChars + 1, 'b'), QString(TavChat::MaxShownChars - 1, 'b') + u'…'},
        {"half a megabyte", QString(512000, 'c'), QString(TavChat::MaxShownChars - 1, 'c') + u'…'},
        {"pair at the cut", QString(TavChat::MaxShownChars - 2, 'd') + pair + "ee",
         QString(TavChat::MaxShownChars - 2, 'd') + u'…'},
    };
    for (const auto& c : cases) {
        chat.ClearChat();
        chat.AddChatMessage({QString(500, 'n'), "", c.text, "", "0", "0", "", ""});
        const QString shown = chat.plainText();
        EXPECT_TRUE(shown.endsWith("说：" + c.shownEnd)) << c.name;
        EXPECT_TRUE(shown.startsWith(QString(TavChat::MaxShownNameChars - 1, 'n') + u'…')) << c.name;
    }
    chat.ClearChat();
    for (int i = 0; i < TavChat::MaxLines + 30; ++i) chat.AddSystemLine(QString::number(i));
    const QStringList lines = chat.plainText().split('\n');
    ASSERT_EQ(lines.size(), TavChat::MaxLines);
    // The lines that go are counted where they were, and their note is one of the pane's lines.
    EXPECT_EQ(lines.first(), QStringLiteral("……（略去 31 行）"));
    EXPECT_TRUE(lines.at(1).endsWith("【系统】31"));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("【系统】%1").arg(TavChat::MaxLines + 29)));
    EXPECT_EQ(chat.lineCount(), TavChat::MaxLines + 30);
}

// Lines arrive faster than the pane is brought up to date: every line of a burst reaches the pane,
// in order, a batch at a time on the clock; only lines beyond what the pane holds go, and the
// pane says how many.
TEST_F(ChatFixture, ABurstReachesThePaneInBatchesAndAFloodSaysWhatWent) {
    const struct {
        const char* what;
        int lines;
        int skipped;
    } cases[] = {
        {"seventeen", 17, 0},
        {"more than a batch", TavChat::FlushLines * 2 + 5, 0},
        {"as many as the pane holds", TavChat::MaxLines, 0},
        {"a flood", TavChat::MaxLines * 3, TavChat::MaxLines * 2 + 1},
    };
    const QTextBrowser* pane = chat.findChild<QTextBrowser*>();
    ASSERT_NE(pane, nullptr);
    for (const auto& c : cases) {
        ManualClock clock;
        chat.ClearChat();
        for (int i = 0; i < c.lines; ++i) chat.AddSystemLine(QString::number(i));
        clock.advance(0);
        // One batch in the next turn of the loop, the rest one batch per spacing.
        EXPECT_EQ(pane->document()->blockCount(), std::min(c.lines, TavChat::FlushLines) + (c.skipped ? 1 : 0)) << c.what;
        clock.advance(qint64(TavChat::MaxLines / TavChat::FlushLines + 1) * TavChat::FlushSpacingMs);
        const QStringList shown = pane->toPlainText().split('\n');
        const int kept = c.lines - c.skipped;
        ASSERT_EQ(shown.size(), kept + (c.skipped ? 1 : 0)) << c.what;
        if (c.skipped) EXPECT_EQ(shown.first(), QStringLiteral("……（略去 %1 行）").arg(c.skipped)) << c.what;
        for (int k = 0; k < kept; ++k)
            ASSERT_TRUE(shown.at(k + (c.skipped ? 1 : 0)).endsWith(QStringLiteral("【系统】%1").arg(c.skipped + k))) << c.what << " line " << k;
    }
}
