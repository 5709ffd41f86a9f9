#pragma once
// Windows-1252 <-> UTF-8. Every text of the program is a Windows-1252 byte
// string; these convert at the edges (the Qt boundary, UTF-8 source literals).
#include <string>
#include <string_view>

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined in Windows-1252; they
// map to the C1 controls of the same value so that every byte round-trips.
std::string Cp1252ToUtf8(std::string_view cp1252);
// Characters without a Windows-1252 form become '?'. Malformed UTF-8 bytes
// are taken as Windows-1252 bytes, so a stray byte is never lost silently.
std::string Utf8ToCp1252(std::string_view utf8);
