#include "frame/frmgamemain.h"

// The round flow as the main window offers it to the room side. Until the round library drives
// them these do nothing: no start button, no turn clock and no sounds exist yet.
void frmGameMain::HideStartBut() {}
void frmGameMain::RefreshStartButton() {}
void frmGameMain::UpdateTurn() {}
void frmGameMain::PlayGameSound(int) {}
