#pragma once
// The guards that tools and the import road run first. Each shows its own
// error and returns false when its condition fails; both read the main
// window of the run, and fail when there is none.

// A receiver answers on the main window's link (else text 1102).
bool CheckConnected();

// The main window holds a channel list that was made or loaded (else text 1103).
bool CheckListLoaded();
