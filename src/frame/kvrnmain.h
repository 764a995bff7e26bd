#pragma once
// The client program: checks the launch words, sets up the shared state, opens the main window
// at screen size and connects to the room server. Returns the process exit code.
int KvrnMain(int argc, char** argv);

class QCoreApplication;
// The toolkit's own texts (the buttons of the system message boxes) in Chinese, as on a Chinese
// desktop, from the toolkit's translations installed on the system; false when there are none.
bool LoadToolkitTranslations(QCoreApplication& app);

// How the program ends, for the lobby that started it.
enum ExitCode : int {
    EXIT_OK = 0,              // the user closed the window, the game ended it, or the server closed the link
    EXIT_LAUNCH_REFUSED = 1,  // wrong launch words (after the error box)
    EXIT_LINK_FAILED = 2,     // no connection, or the connection broke
    EXIT_FRAME_REFUSED = 3,   // the server sent a frame the link refuses (broken length)
};
