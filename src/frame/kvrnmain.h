#pragma once
// The client program: checks the launch words, sets up the shared state, opens the main window
// at screen size and connects to the room server. Returns the process exit code.
int KvrnMain(int argc, char** argv);
