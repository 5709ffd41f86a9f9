#include "link/serial/PortMap.h"

#include <cstdlib>

std::string ComDevicePath(int n)
{
    const std::string variable = "VEXA_COM" + std::to_string(n);
    if (const char* path = std::getenv(variable.c_str()); path && *path)
        return path;
    return "/dev/ttyS" + std::to_string(n - 1);
}
