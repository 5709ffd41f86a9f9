#include "windows/NormalText.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

std::string NormalText(const std::string& value)
{
    std::string text = value;
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return text == "N" ? LangText(1101) : text;
}

QStringList NormalTextSamples()
{
    return {ToQt(LangText(1101)), QStringLiteral("0"), QStringLiteral("12"), QStringLiteral("14"),
            QStringLiteral("18"), QStringLiteral("22")};
}
