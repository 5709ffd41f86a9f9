#pragma once
// The program's pictures, drawn here in code so that they scale cleanly and
// belong to nobody else.
#include <QIcon>
#include <QPixmap>

namespace AppIcons {

// The connection light, 16 x 16: dark green when not connected, bright green when connected.
QPixmap Lamp(bool connected);

// Option bar pictures, 32 x 32, by option number: 1 channels, 2 satellites,
// 3 antennas, 4 transponders, 5 tools.
QIcon Option(int option);

// Menu pictures, 16 x 16, by index: 0 connect, 1 exit, 2 port set-up,
// 3 save, 4 get a list, 5 new list, 6 print.
QIcon Menu(int index);

// Larger pictures of the dialogs and the transfer window.
QPixmap ReceiverFront(int width = 96, int height = 28); // the receiver seen from the front
QPixmap Computer(int size = 32);
QPixmap TextFile(int size = 32);
QPixmap BinaryFile(int size = 32);
QPixmap SerialPort(int size = 32);

// The tools list, 16 x 16, by tool index 0 to 8: firmware, factory data,
// import, check, channel wizard, key sequence, favourites, summary, removal.
QIcon Tool(int index);

// The import sources beside the text and binary files: a list file marked
// with a short tag ("MAX", "SDX") and the Internet.
QPixmap TaggedFile(const QString& tag, int size = 32);
QPixmap Globe(int size = 32);

} // namespace AppIcons
