#pragma once
// Helpers every fuzz target uses. Each target is built as a program of its
// own, so all of this is inline and the header is the whole of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fuzz {

// What the target puts under test ("MAX reader"), defined once by each
// target, so that a broken property says which reader broke it.
extern const char* const Subject;

// A property every input must keep: when it is broken the run aborts, which
// both libFuzzer and the sanitizers report with the input that did it.
inline void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "%s property broken: %s\n", Subject, what);
        std::abort();
    }
}

enum class CarriageReturn { Keep, Drop };

// The input as text lines, one per "\n"; a trailing "\r" of a line stays or
// goes as asked. There is always at least one line, empty for no input.
inline std::vector<std::string> SplitLines(const std::uint8_t* data, std::size_t size, CarriageReturn cr)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    if (cr == CarriageReturn::Drop)
        for (std::string& line : lines)
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
    return lines;
}

// A text seed as the bytes the driver feeds in.
inline std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// For readers of files: the input written as a whole file, and read back.
inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    Require(!out.fail(), "the input could be written to its file");
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A text holds no line end and no NUL: each reader splits its file at them.
inline bool IsOneLine(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

} // namespace fuzz
