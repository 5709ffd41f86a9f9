#pragma once
#include <string>

// The text of number N in the current language, else its built-in Spanish
// text, else the empty text (Windows-1252).
std::string LangText(int N);
