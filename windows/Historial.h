#pragma once
// The program's own version history, newest version first, and the version
// text that the program shows for itself.
#include <cstdint>
#include <string>
#include <vector>

struct Linea {
    std::int32_t Major;
    std::int32_t Minor;
    std::int32_t Build;
    std::string Date;    // "dd/mm/yyyy"
    std::string Comment; // the changes of the version, separated by "|" (Windows-1252)
};

// Filled once before main() runs and never changed afterwards.
extern std::vector<Linea> HistoryTable;
extern std::int32_t HistoryLast; // index of the last entry, -1 while empty

void AddHistory(std::int32_t Major, std::int32_t Minor, std::int32_t Build, const std::string& Date,
                const std::string& Comment);

// The newest version as "1.03.001" (minor two digits, build three).
std::string GetVersionStr();
