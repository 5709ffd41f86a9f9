#pragma once
// The keyboard goes back to the window the user was working in when a modal
// window in front of it closes: a message box, the transfer window, a nested
// editor, a file dialog. Without this the keyboard can stay with no window at
// all after such a window closes (Qt leaves the choice to the platform, and
// not every platform makes one), so Esc and Enter do nothing until the user
// clicks. The window that gets it is the modal window now on top (the dialog
// that opened the closed one), else the closed window's parent; inside it the
// focus goes to the control that last had it. Nothing happens when the
// closed window had lost the keyboard before it closed (the user went to
// another window), nor when another window has it already. A window the
// program closes before the platform activated it gets that activation late,
// when it is hidden or gone; the keyboard is then passed on the same way.
//
// Call once a QApplication exists; it watches every window for the rest of
// the run (the program and the GUI tests do).
void InstallModalFocusReturn();
