#include "foundation/TConfig.h"

#include "foundation/Libreria.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Entries of the folder other than the settings file itself.
int StrayFiles(const TempDir& dir, const std::string& keep)
{
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        n += e.path().filename() != keep;
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
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

TEST(TConfig, NoFileGivesDefaultsWrittenAtTheEnd)
{
    TempDir dir;
    const fs::path ini = dir / "vexautils.Ini";
    {
        TConfig config(ini.string());
        EXPECT_EQ(config.Language + " " + std::to_string(config.ComPort), "Castellano -1");
        EXPECT_TRUE(config.Dirty);
        EXPECT_FALSE(fs::exists(ini)); // nothing written before the end of the run
    }
    EXPECT_EQ(ReadFileBytes(ini), "Language=Castellano\r\nComport=-1\r\n");
    EXPECT_EQ(StrayFiles(dir, "vexautils.Ini"), 0);
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

// A folder, a FIFO (which must not block the start) and a file over 4 MiB
// are not read; a folder is not replaced either.
TEST(TConfig, UnreadableFilesGiveTheDefaults)
{
    TempDir dir;
    fs::create_directory(dir / "folder.Ini");
    ASSERT_EQ(::mkfifo((dir / "fifo.Ini").c_str(), 0600), 0);
    WriteFileBytes(dir / "huge.Ini", "Comport=3\r\n");
    fs::resize_file(dir / "huge.Ini", (4u << 20) + 1);
    for (const char* name : {"fifo.Ini", "huge.Ini", "folder.Ini"}) {
        TConfig config((dir / name).string());
        EXPECT_EQ(config.Language + " " + std::to_string(config.ComPort), "Castellano -1") << name;
        EXPECT_TRUE(config.Dirty);
        if (std::string(name) != "folder.Ini")
            config.Dirty = false;
        else
            EXPECT_FALSE(config.Save()); // and once more at the end
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder.Ini"));
    EXPECT_EQ(StrayFiles(dir, ""), 3); // no temporary file left behind
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
    config.Dirty = true;
    ASSERT_TRUE(config.Save());
    EXPECT_FALSE(config.Dirty);
    EXPECT_EQ(ReadFileBytes(ini), "Language=Fran\xE7" "ais\r\nComport=12\r\n");
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms(0640)); // kept through the replacement
    EXPECT_EQ(StrayFiles(dir, "v.Ini"), 0);
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
        if (config.Save() || config.Dirty)
            return "save misreported";
        config.Dirty = true; // as after a failed first read: the end must not crash
        // No file and no way to write one: defaults, dirty, and nothing breaks.
        TConfig none((dir / "none.Ini").string());
        if (!none.Dirty || none.Language != "Castellano" || none.Save() || !none.Dirty)
            return "no file misreported";
        return {};
    });
    EXPECT_EQ(problem, "");
    EXPECT_EQ(ReadFileBytes(ini), old);
    EXPECT_EQ(StrayFiles(dir, "v.Ini"), 0);
    fs::permissions(dir.path(), fs::perms::owner_all);
}

} // namespace
