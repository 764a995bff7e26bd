// The game's sounds: the file of each number, and when a sound plays at all.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "round/sounds.h"
#include "roundfixture.h"
#include "settings/usersetstate.h"

using namespace roundtest;

namespace {

bool MultimediaMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

// First in the file: the tests after it may have loaded the output already.
TEST(Sounds, TheOutputIsLoadedWhenTheFirstSoundIsToPlayNotBefore)
{
    EXPECT_FALSE(MultimediaMapped());
    WavPlayer player;
    UserSetState settings;
    EXPECT_FALSE(PlayGameSound(player, settings, false, ProgramDir(), SND_START));   // hidden: nothing asked
    EXPECT_FALSE(MultimediaMapped());
    PlayGameSound(player, settings, true, ProgramDir(), SND_START);   // plays only where there is a device
    EXPECT_TRUE(MultimediaMapped());
}

TEST(Sounds, EachNumberHasItsFile)
{
    const QStringList files{"Start.wav",  "Liang.wav",   "OutPai.wav", "Pass.wav",       "Hong10.wav",
                            "ZhaDan.wav", "Warning.wav", "End.wav",    "PangGuanIn.wav", "PangGuanOut.wav"};
    for (int n = 0; n < 10; ++n) EXPECT_EQ(GameSoundFile(n), files[n]) << n;
    EXPECT_TRUE(GameSoundFile(-1).isEmpty());
    EXPECT_TRUE(GameSoundFile(10).isEmpty());
}

TEST(Sounds, SilentUnlessSwitchedOnShownPresentAndAnOutputExists)
{
    QTemporaryDir empty;
    const QString withFiles = ProgramDir(), without = empty.path() + QStringLiteral("/");
    const struct {
        uint8_t soundOn;
        bool shown, output;
        QString appPath;
        int n;
        bool plays;
    } cases[] = {
        {1, true, true, withFiles, SND_ZHADAN, true},
        {1, true, true, withFiles, SND_PANGGUAN_OUT, true},
        {0, true, true, withFiles, SND_ZHADAN, false},   // switched off
        {1, false, true, withFiles, SND_ZHADAN, false},  // window hidden or minimised
        {1, true, false, withFiles, SND_ZHADAN, false},  // no audio output
        {1, true, true, without, SND_ZHADAN, false},     // no such file
        {1, true, true, withFiles, 10, false},
        {1, true, true, withFiles, -1, false},
    };
    for (const auto& tc : cases) {
        WavPlayer player;
        player.HasAudioOutput = [&tc] { return tc.output; };
        UserSetState settings;
        settings.bytSoundOn = tc.soundOn;
        EXPECT_EQ(PlayGameSound(player, settings, tc.shown, tc.appPath, tc.n), tc.plays) << tc.n;
        if (tc.plays) EXPECT_TRUE(player.lastPlayed().endsWith(QStringLiteral("Res/Sound/") + GameSoundFile(tc.n)));
        else EXPECT_TRUE(player.lastPlayed().isEmpty());
    }
}

TEST(Sounds, ANewSoundReplacesTheOneStillPlaying)
{
    WavPlayer player;
    player.HasAudioOutput = [] { return true; };
    UserSetState settings;
    EXPECT_TRUE(PlayGameSound(player, settings, true, ProgramDir(), SND_START));
    EXPECT_TRUE(PlayGameSound(player, settings, true, ProgramDir(), SND_END));
    EXPECT_TRUE(player.lastPlayed().endsWith(QStringLiteral("End.wav")));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
