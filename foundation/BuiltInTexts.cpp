#include "foundation/BuiltInTexts.h"

// Placeholder: the header lines only, until the catalogue lands.
const std::vector<std::string>& BuiltInLines()
{
    static const std::vector<std::string> lines = {"VER=100", "LANG=Castellano", "AUTHOR=Ardelo", ""};
    return lines;
}
