#pragma once
// Small helpers that every unit shares: text and number conversions, the
// word splitter of the text channel list, accent-insensitive name matching,
// byte reversal, files and folders, and the shared message boxes.
//
// Texts are Windows-1252 byte strings. Upper- and lower-casing touch the
// ASCII letters only: accented letters keep their case.
#include "foundation/TTranslateEvent.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---- Text and number conversions

// Text to integer: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X", and nothing behind
// them. Anything else, and a decimal number outside the 32-bit range, gives 0.
// Hexadecimal takes up to eight digits, read as a 32-bit pattern ("$FFFFFFFF"
// is -1).
std::int32_t SafeStrToInt(const std::string& text);

// Code of the first character; 0 for the empty text.
unsigned char FirstChar(const std::string& text);

// The text without any "." or ","; "0" when nothing is left.
std::string StripSeparators(const std::string& text);

// Trailing spaces removed (a trailing TAB stays).
std::string TrimSpacesRight(const std::string& text);
// Leading blanks, TABs and LFs removed (a leading CR stays).
std::string TrimBlanksLeft(const std::string& text);
// Both of the above.
std::string TrimAll(const std::string& text);

bool IsDigit(char c);
bool ByteToBool(std::uint8_t b);

// Line N counted from 1; the empty text when N is out of range.
std::string GetLine(const std::vector<std::string>& lines, int N);

// ---- "Key=value" lines of the settings and language files

// The line starts with key, ASCII case ignored. key is given in upper case;
// only the line is upper-cased, and a key is a prefix ("LANG" matches
// "LANGUAGE=..."), as these files were always read.
bool StartsWithKey(const std::string& line, const char* key);

// The text after the first "=", trimmed; the whole line, trimmed, when it
// has none.
std::string LineValue(const std::string& line);

// Splits a text channel list line into words: blanks separate words outside
// double quotes; outside quotes letters are lower-cased; a quoted part is
// taken unchanged and closes its word even when empty.
void SplitWords(const std::string& text, std::vector<std::string>& words);

// An accented vowel (acute, grave, circumflex, diaeresis) becomes its plain
// upper-case vowel; every other character is returned unchanged.
char FoldAccent(char c);

// Equality after removing spaces, upper-casing and folding accented vowels.
bool SameName(const std::string& a, const std::string& b);
// What SameName compares: two names are the same exactly when their keys are
// equal, so an index of names can hold each key once instead.
std::string NameKey(std::string_view name);

// The Yes/No text of a list cell, in the current language.
std::string YesNoText(bool value);

// A language text with its count: the first "%d" becomes count. Only "%d" is
// replaced, so a stray "%" of a language file never reaches a format function.
std::string WithCount(std::string text, int count);

// Two translate callbacks have the same code (their objects are not compared).
bool SameCode(const TTranslateEvent& a, const TTranslateEvent& b);

// Destination byte i := source byte N-1-i. The buffers must not overlap.
void ReverseBytes(const void* source, void* destination, std::uint16_t N);

// ---- Files and folders

// Full path of the running program's own file.
std::string ProgramFileName();
// The folder of the running program, without a trailing "/".
std::string ProgramFolder();

// A temporary folder for the program's own files, with a trailing "/". It is
// private to this process (created on first use inside the system's
// temporary folder, removed when the process ends), so fixed file names in
// it never meet another user's files.
std::string GetDirTemp();

// The path without its last character when that is "/"; only one is removed.
std::string PathNoSlash(const std::string& path);

// The file name with its extension (from the last "." of the last path
// component) replaced by "." + extension, or "." + extension appended.
std::string SetExtension(const std::string& fileName, const std::string& extension);

// Appends to names (without clearing it) the names, without path, of every
// entry of the pattern's folder that matches its last component ("*" and "?"
// wildcards, ASCII case ignored, as the program's file names were always
// matched). Entries of any kind count. Sorted by name; nothing on failure.
void SearchFil(const std::string& pattern, std::vector<std::string>& names);

// What a NUL byte means to a file's reader. The language and settings files
// always ended at the first NUL. Channel lists and listings do not: TVs
// write NULs into unused columns, so there a NUL is a byte like any other
// and every line is read; each reader judges it where it takes a field.
enum class NulByte { EndsText, Ordinary };

// Reads a whole text file into lines: lines end at CR LF, LF or CR, bytes
// are kept as they are, and a NUL byte ends the text or stays in its line as
// nul says. False, with lines empty, when the file cannot be read, is not a
// regular file or is larger than maxBytes: a real language or settings file
// is a few dozen KiB, and a file of nothing but line ends would cost some 32
// bytes a line in memory.
bool LoadLines(const std::string& fileName, std::vector<std::string>& lines,
               std::uint64_t maxBytes = 4u << 20, NulByte nul = NulByte::EndsText);

// ---- Shared message boxes (through the MessageBoxes() seam)

void ShowError(const std::string& message);
void ShowInfo(const std::string& message);
// True only when the user answers Yes; False without asking once the
// application is terminating.
bool Confirm(const std::string& question);
