#include "link/VexaLib.h"

#include <cstring>

namespace {
const std::uint8_t kMagic[9] = {'k', 'E', 'L', 'V', 'o', 'R', 'a', 'N', 0};
}

void BuildHeader(std::uint8_t Code, std::uint8_t* Header)
{
    std::memcpy(Header, kMagic, sizeof kMagic);
    Header[9] = Code;
    Header[10] = 0;
    Header[11] = 0;
}

bool CheckHeader(const std::uint8_t* Header)
{
    return std::memcmp(Header, kMagic, sizeof kMagic) == 0;
}

std::int32_t PosAfterCRLF(const std::vector<std::uint8_t>& Stream)
{
    for (std::size_t i = 1; i < Stream.size(); ++i) {
        if (Stream[i] == 0x0A && Stream[i - 1] == 0x0D)
            return std::int32_t(i + 1);
    }
    return -1;
}
