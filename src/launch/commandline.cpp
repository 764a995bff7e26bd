#include "launch/commandline.h"

#include "platform/core/vbnum.h"
#include "rules/publicstate.h"

const QString LaunchToken = QStringLiteral("p3!Hq&Zv{7}Lx^Wm(2)Tc;8Rd#Ky%Ub*4=Ne+J");

QStringList SplitCommandLine(const QString& commandLine, int maxArgs)
{
    if (maxArgs < 0) maxArgs = 0;
    QStringList args;
    args.append(QString());
    bool inWord = false;
    for (QChar c : commandLine) {
        if (c == u' ' || c == u'\t') {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (args.size() - 1 >= maxArgs) break;
            args.append(QString());
            inWord = true;
        }
        args.last().append(c);
    }
    return args;
}

QString JoinedArguments(const QStringList& argsWithProgram)
{
    return argsWithProgram.mid(1).join(u' ');
}

namespace {

// The score mode word as a byte; -1 when it does not fit one.
int ScoreModeByte(const QString& word)
{
    const int32_t v = ValLng(word);
    return (v < 0 || v > 255) ? -1 : v;
}

}  // namespace

int CheckLaunchArgs(const QStringList& launchArgs)
{
    if (launchArgs.size() - 1 != kLaunchWordCount) return 1;
    if (launchArgs[1] != LaunchToken) return 2;
    // A score mode that is no byte cannot be stored; the lobby never passes one, so it is
    // refused like any other malformed launch.
    if (ScoreModeByte(launchArgs[9]) < 0) return 1;
    return 0;
}

QString LaunchErrorText(int errorNo)
{
    return QString::number(errorNo) + QStringLiteral("号错误，无法正常启动游戏！");
}

void StoreLaunchArgs(PublicState& pub, const QStringList& a)
{
    if (a.size() <= kLaunchWordCount) return;
    pub.LaunchArgs = a;
    pub.strServerHost = a[2];
    pub.strServerPort = a[3];
    pub.strGameTitle = a[4];
    pub.strLevelInfo = a[5];
    pub.strReserved[0] = a[6];
    pub.strReserved[1] = a[7];
    pub.strMyName = a[8];
    const int mode = ScoreModeByte(a[9]);
    pub.bteScoreMode = uint8_t(mode < 0 ? 0 : mode);
}
