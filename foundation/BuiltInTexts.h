#pragma once
#include <string>
#include <vector>

// The built-in Spanish language, line by line in the language file format,
// as Windows-1252 byte strings.
const std::vector<std::string>& BuiltInLines();
