#pragma once
// The program's caption: the main window's title, and the title of the
// boxes that have no caption of their own.
inline constexpr char ProgramCaption[] = "Vexa 4400 Utils";
