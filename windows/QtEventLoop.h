#pragma once
// Connects the core's event-loop seam to Qt: the link's waits let Qt's
// events run, worker threads post their calls into Qt's event loop, and an
// error that escapes a posted call is shown like any other error.
// Call once a QApplication exists (the program and the GUI tests do).
void InstallQtEventLoop();
