#pragma once
// Shared by the link tests: which devices COM1..COM20 stand for, and a
// recorder for the link's progress reports.
#include "ReceiverEmulator.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Points every COMn at a device that does not exist, except the ones given,
// so that a machine's real serial ports never take part; restores on exit.
class PortEnv {
public:
    explicit PortEnv(const std::map<int, std::string>& ports)
    {
        for (int n = 1; n <= 20; ++n) {
            const std::string name = "VEXA_COM" + std::to_string(n);
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            auto it = ports.find(n);
            setenv(name.c_str(), (it != ports.end() ? it->second : "/nonexistent/" + name).c_str(), 1);
        }
    }
    ~PortEnv()
    {
        for (auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    PortEnv(const PortEnv&) = delete;
    PortEnv& operator=(const PortEnv&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Records (Step, Max) of every progress report; answers Cancel once the
// report with Step == cancelAt has been made (and on every later one, as a
// window's Cancel button would).
struct ProgressRecorder {
    std::vector<std::pair<int, int>> steps;
    std::optional<int> cancelAt;
    bool cancelled = false;

    std::function<void(std::int32_t, std::int32_t, bool&)> Callback()
    {
        return [this](std::int32_t step, std::int32_t max, bool& cancel) {
            steps.emplace_back(step, max);
            cancelled = cancelled || (cancelAt && step == *cancelAt);
            cancel = cancelled;
        };
    }
};

// The frames the program sent, in order.
inline std::vector<EmulatorFrame> FromLink(const std::vector<EmulatorFrame>& log)
{
    std::vector<EmulatorFrame> out;
    for (const auto& e : log)
        if (e.fromLink)
            out.push_back(e);
    return out;
}

inline std::vector<int> Codes(const std::vector<EmulatorFrame>& frames)
{
    std::vector<int> out;
    for (const auto& e : frames)
        out.push_back(e.code);
    return out;
}

// A 128 KiB image holding every byte value, with 3 at byte 10 as a receiver's
// full image has.
inline std::vector<std::uint8_t> EveryByteImage()
{
    std::vector<std::uint8_t> image(ReceiverEmulator::kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t(i ^ (i >> 8) ^ (i >> 16));
    image[10] = 3;
    return image;
}
