#pragma once
// The two settings that survive between runs, kept in a small text file
// beside the program: the program's own path with the extension ".Ini",
// holding exactly "Language=<name>\r\nComport=<n>\r\n".
//
// A missing or unreadable file leaves the defaults and makes the object
// dirty, so that a fresh file is written when it is destroyed; a file that
// was read is written only by an explicit Save. Nothing is ever reported.
#include <cstdint>
#include <string>

class TConfig {
public:
    // The settings file beside the running program.
    TConfig();
    // The given settings file.
    explicit TConfig(std::string fileName);
    // Saves first when Dirty.
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // Reads the file into the fields; False, fields unchanged, when it cannot be read.
    bool Load();
    // Writes the file from the fields; True and Dirty cleared on success.
    // On failure Dirty and the old file stay as they were: the new contents
    // go to a temporary file beside it that replaces it only when complete.
    bool Save();

    const std::string& FileName() const { return FileName_; }

    // Assigning these does not make the object dirty: their users call Save.
    std::string Language = "Castellano"; // Name of the chosen language
    std::int32_t ComPort = -1;           // n of COMn; -1: none chosen
    bool Dirty = false;                  // to be written when destroyed

private:
    std::string FileName_;
};

// The settings of the run, created by the main window.
extern TConfig* TheConfig;
