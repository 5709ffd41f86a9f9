#include "foundation/TConfig.h"

#include "foundation/Libreria.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kDefaults = "Language=Castellano\r\nComport=-1\r\n";

// Files beside the settings file other than the settings file itself.
int StrayFiles(const TempDir& dir, const std::string& keep)
{
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().filename() != keep)
            ++n;
    return n;
}

// Runs check where file permissions hold: as root, in a child process that
// has dropped to an unprivileged user. check returns an empty text when all
// went well, else what went wrong.
std::string Unprivileged(const std::function<std::string()>& check)
{
    if (::geteuid() != 0)
        return check();
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return "pipe failed";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        std::string result = (::setgid(65534) == 0 && ::setuid(65534) == 0) ? check() : "setuid failed";
        if (::write(pipeFd[1], result.data(), result.size()) < 0)
            _exit(2);
        _exit(0);
    }
    ::close(pipeFd[1]);
    std::string result;
    char buf[256];
    ssize_t n;
    while ((n = ::read(pipeFd[0], buf, sizeof buf)) > 0)
        result.append(buf, size_t(n));
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed";
    return result;
}

TEST(TConfig, NoFileGivesDefaultsWrittenAtTheEnd)
{
    TempDir dir;
    const fs::path ini = dir / "vexautils.Ini";
    {
        TConfig config(ini.string());
        EXPECT_EQ(config.Language, "Castellano");
        EXPECT_EQ(config.ComPort, -1);
        EXPECT_TRUE(config.Dirty);
        EXPECT_FALSE(fs::exists(ini)); // nothing written before the end of the run
    }
    EXPECT_EQ(ReadFileBytes(ini), kDefaults);
    EXPECT_EQ(StrayFiles(dir, "vexautils.Ini"), 0);
}

TEST(TConfig, DefaultPathIsTheProgramWithIniExtension)
{
    // The test program has no extension: ".Ini" is appended.
    const std::string expected = ProgramFileName() + ".Ini";
    fs::remove(expected);
    {
        TConfig config;
        EXPECT_EQ(config.FileName(), expected);
        config.Dirty = false; // leave no file beside the test program
    }
    EXPECT_FALSE(fs::exists(expected));
}

TEST(TConfig, ReadingTable)
{
    struct Row {
        std::string file;
        std::string language;
        int port;
    };
    const Row rows[] = {
        {"Language=Deutsch\r\nComport=3\r\n", "Deutsch", 3},
        {"language =  Deutsch  \ncomport = 7\n", "Deutsch", 7},      // any case, trimmed
        {"\tLanguage=X\r\nCOMPORT\t=\t12\r", "Castellano", 12},      // an indented key is no key
        {"LANGUAGE Deutsch\r\n", "LANGUAGE Deutsch", -1},            // no "=": the whole line
        {"Comport=COM3\r\n", "Castellano", 0},                        // not a number
        {"Language=A\r\nComport=1\r\nLanguage=B\r\nComport=2\r\n", "B", 2}, // the last wins
        {"Languages=Fr=an\r\n", "Fr=an", -1},                         // value after the first "="
        {"Comport=99999999999\r\n", "Castellano", 0},                 // overflow reads as 0
        {std::string("Language=Ita\0lia\r\nComport=5", 27), "Ita", -1}, // a NUL ends the text
        {"\x01\x02\xFF\xFE binary \x80\r\n", "Castellano", -1},
        {"Comport=4", "Castellano", 4},                                // last line unterminated
    };
    for (const Row& row : rows) {
        TempDir dir;
        const fs::path ini = dir / "v.Ini";
        WriteFileBytes(ini, row.file);
        {
            TConfig config(ini.string());
            EXPECT_FALSE(config.Dirty);
            EXPECT_EQ(config.Language, row.language) << row.file;
            EXPECT_EQ(config.ComPort, row.port) << row.file;
        }
        // A file that was read is never rewritten behind the user's back.
        EXPECT_EQ(ReadFileBytes(ini), row.file);
    }
}

TEST(TConfig, SaveWritesExactlyTwoLines)
{
    TempDir dir;
    const fs::path ini = dir / "v.Ini";
    WriteFileBytes(ini, "# my notes\r\nLanguage=English\r\nComport=2\r\n");
    fs::permissions(ini, fs::perms(0640));
    TConfig config(ini.string());
    config.Language = "Fran\xE7" "ais";
    config.ComPort = 12;
    EXPECT_FALSE(config.Dirty); // assigning does not make it dirty
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ReadFileBytes(ini), "Language=Fran\xE7" "ais\r\nComport=12\r\n");
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms(0640)); // kept through the replacement
    EXPECT_EQ(StrayFiles(dir, "v.Ini"), 0);

    TConfig reread(ini.string());
    EXPECT_EQ(reread.Language, "Fran\xE7" "ais");
    EXPECT_EQ(reread.ComPort, 12);
}

TEST(TConfig, FolderInPlaceOfTheFile)
{
    TempDir dir;
    const fs::path ini = dir / "v.Ini";
    fs::create_directory(ini);
    {
        TConfig config(ini.string());
        EXPECT_EQ(config.Language, "Castellano");
        EXPECT_TRUE(config.Dirty);
        EXPECT_FALSE(config.Save()); // cannot replace a folder
        EXPECT_TRUE(config.Dirty);
    }
    EXPECT_TRUE(fs::is_directory(ini));
    EXPECT_EQ(StrayFiles(dir, "v.Ini"), 0); // no temporary file left behind
}

TEST(TConfig, UnwritableFolderLosesNothing)
{
    TempDir dir;
    const fs::path ini = dir / "v.Ini";
    const std::string old = "Language=English\r\nComport=4\r\n";
    WriteFileBytes(ini, old);
    fs::permissions(dir.path(), fs::perms(0555));
    fs::permissions(ini, fs::perms(0444));

    std::string problem = Unprivileged([&]() -> std::string {
        TConfig config(ini.string());
        if (config.Dirty || config.Language != "English" || config.ComPort != 4)
            return "not read";
        config.Language = "Deutsch";
        if (config.Save())
            return "save reported success";
        if (config.Dirty)
            return "dirty changed";
        config.Dirty = true; // as after a failed first read: the end must not crash
        return {};
    });
    EXPECT_EQ(problem, "");
    EXPECT_EQ(ReadFileBytes(ini), old);
    EXPECT_EQ(StrayFiles(dir, "v.Ini"), 0);

    // No file and no way to write one: defaults, dirty, and nothing breaks.
    const fs::path none = dir / "none.Ini";
    problem = Unprivileged([&]() -> std::string {
        TConfig config(none.string());
        if (!config.Dirty || config.Language != "Castellano")
            return "no defaults";
        if (config.Save() || !config.Dirty)
            return "save misreported";
        return {};
    });
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(fs::exists(none));
    fs::permissions(dir.path(), fs::perms::owner_all);
}

} // namespace
