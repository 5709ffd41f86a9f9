#pragma once
// Where "COMn" lives on this system: /dev/ttyS<n-1>, unless the environment
// variable VEXA_COM<n> names another device (a USB adapter, or a
// pseudo-terminal in the tests).
#include <string>

std::string ComDevicePath(int n);
