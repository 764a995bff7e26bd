#pragma once
// The five personal on/off settings of the local user (0 off, 1 on), kept in "UserSet.ini"
// beside the program.
#include <QString>
#include <cstdint>

struct UserSetState {
    uint8_t bytAllowPangGuan = 1;  // spectators may see the own cards (sent to the server)
    uint8_t bytSoundOn = 1;        // game sounds
    uint8_t bytShowInOut = 1;      // users entering and leaving shown in the chat
    uint8_t bytQuitPrompt = 1;     // closing during a game asks first
    uint8_t bytOutPaiPrompt = 1;   // a refused play is explained

    uint8_t& at(int i);            // settings 1..5 in file order; anything else: setting 1
    uint8_t at(int i) const;
    bool operator==(const UserSetState&) const = default;
};

// The file's name beside the program.
inline constexpr const char* kUserSetFileName = "UserSet.ini";

// All five settings 1.
void SetDefaultUserSet(UserSetState& s);

// Reads five numbers separated by whitespace, commas or line ends. No file, fewer than five
// numbers, a value outside 0..255 or an unreadable file: all five settings 1. A text that is not
// a number reads 0. Returns true when the file's values were taken.
bool LoadUserSet(UserSetState& s, const QString& path);

// Writes the five values, one per line (" v " then CR LF). The old file is replaced only once the
// new one is completely written. Returns false when it could not be written.
bool SaveUserSet(const UserSetState& s, const QString& path);
