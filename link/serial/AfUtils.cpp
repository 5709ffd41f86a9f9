#include "link/serial/AfUtils.h"

#include <unistd.h>

void SafeCloseHandle(int& handle)
{
    if (handle != -1 && ::close(handle) == 0)
        handle = -1;
}
