// The settings file reader against arbitrary bytes: the settings file lies
// beside the program, in a folder others may write to. Whatever it holds, it
// is read without being rewritten, and the settings read from it are written
// as the two lines of the format and read back the same.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/Libreria.h"
#include "foundation/TConfig.h"
#include "fuzz/driver/FuzzSupport.h"

using fuzz::Require;

const char* const fuzz::Subject = "settings file reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    return {fuzz::Bytes("Language=Castellano\r\nComport=3\r\n"),
            fuzz::Bytes("# notes\nlanguage =  Fran\xE7" "ais\t \n\tComport=9\rCOMPORT=$1F\r\nLanguages=a=b\r\nComport=-2147483648")};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = [] { // private to the run, and in memory where the system allows
        if (std::filesystem::is_directory("/dev/shm"))
            ::setenv("TMPDIR", "/dev/shm", 1);
        return GetDirTemp() + "settings.Ini";
    }();
    fuzz::WriteFile(file, data, size);
    std::string language;
    std::int32_t port = 0;
    {
        TConfig config(file);
        Require(!config.Dirty, "a readable file is read");
        Require(fuzz::IsOneLine(config.Language), "the language name spans one line");
        language = config.Language;
        port = config.ComPort;
    }
    Require(fuzz::ReadFile(file) == std::string(data, data + size), "a file that was read is left as it was");
    {
        TConfig config(file);
        Require(config.Save(), "the settings are written");
    }
    Require(fuzz::ReadFile(file) == "Language=" + language + "\r\nComport=" + std::to_string(port) + "\r\n",
            "the settings are written as the two lines of the format");
    TConfig again(file);
    Require(again.Language == language && again.ComPort == port, "what was written reads back the same");
    again.Dirty = false;
    return 0;
}
