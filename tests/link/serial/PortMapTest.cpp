#include "link/serial/PortMap.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(PortMapTest, ComNumbersMapToTtySOrToTheirEnvironmentVariable)
{
    ::unsetenv("VEXA_COM3");
    EXPECT_EQ(ComDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
    ::setenv("VEXA_COM3", "/dev/ttyUSB0", 1);
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(ComDevicePath(13), "/dev/ttyS12"); // VEXA_COM3 is not VEXA_COM13
    ::setenv("VEXA_COM3", "", 1);
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
    ::unsetenv("VEXA_COM3");
}
