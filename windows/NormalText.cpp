#include "windows/NormalText.h"

#include "foundation/TLang.h"

std::string NormalText(const std::string& value)
{
    std::string text = value;
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return text == "N" ? LangText(1101) : text;
}
