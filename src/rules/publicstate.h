#pragma once
// The shared state set up at start-up: the launch parameters, the folders, the level titles and
// membership names, and the few flags the room and game messages share. It lives with the rules,
// below the table drawing and the shop, which read its folders and title.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

struct LevelTitleEntry {
    int32_t Threshold = 0;
    QString Title;
};

struct PublicState {
    // Launch parameters (words 2..9).
    QStringList LaunchArgs;        // slot 0 unused, words from slot 1
    QString strServerHost;
    QString strServerPort;
    QString strGameTitle;
    QString strLevelInfo;
    std::array<QString, 2> strReserved;
    QString strMyName;
    uint8_t bteScoreMode = 0;

    // Folders: strAppPath ends in the separator; strParentPath is the folder holding it.
    QString strAppPath;
    QString strParentPath;

    bool StartButShown = false;
    uint8_t TableJoined = 0;
    bool blnClosing = false;

    std::vector<LevelTitleEntry> LevelTitles;
    QStringList MemberNames;
};
