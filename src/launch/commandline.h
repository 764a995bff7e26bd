#pragma once
// The launch words: the lobby starts the client with nine words, the first a fixed token.
#include <QString>
#include <QStringList>
#include <cstdint>

struct PublicState;

inline constexpr int kLaunchWordCount = 9;
extern const QString LaunchToken;

// Splits a command line into words at blanks and tabs (no quoting, no escapes; runs of
// separators count once). Slot 0 of the result is empty; the words follow from slot 1. At most
// maxArgs words are kept, the rest are dropped; maxArgs < 0 counts as 0.
QStringList SplitCommandLine(const QString& commandLine, int maxArgs = 10);

// The process arguments after the program name, joined with single blanks.
QString JoinedArguments(const QStringList& argsWithProgram);

// 0 when the words (as SplitCommandLine returns them) are a valid launch, else the error number:
// 1 for a wrong word count (or a score mode outside 0..255), 2 for a wrong token.
int CheckLaunchArgs(const QStringList& launchArgs);

// The start-up error text of an error number.
QString LaunchErrorText(int errorNo);
inline const QString kLaunchErrorTitle = QStringLiteral("游戏提示");

// Words 2..9 into the public state (the words must have passed CheckLaunchArgs).
void StoreLaunchArgs(PublicState& pub, const QStringList& launchArgs);
