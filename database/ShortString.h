#pragma once
// A text of at most N characters, as the receiver's records keep them.
// Assigning a longer text keeps its first N characters, so a record can never
// hold a name or code that does not fit its field in a file. No heap use:
// records copy and compare as plain values.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

template <std::size_t N>
class ShortString {
    static_assert(N > 0 && N < 256, "a short string holds 1 to 255 characters");

public:
    static constexpr std::size_t Capacity = N;

    ShortString() = default;
    ShortString(std::string_view text) { Assign(text); }
    ShortString(const char* text) { Assign(text ? std::string_view(text) : std::string_view()); }
    ShortString(const std::string& text) { Assign(text); }

    ShortString& operator=(std::string_view text) { Assign(text); return *this; }
    ShortString& operator=(const char* text) { return *this = (text ? std::string_view(text) : std::string_view()); }
    ShortString& operator=(const std::string& text) { return *this = std::string_view(text); }

    std::string_view view() const { return {chars_.data(), len_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    std::size_t size() const { return len_; }
    bool empty() const { return len_ == 0; }
    char operator[](std::size_t i) const { return chars_[i]; }

    friend bool operator==(const ShortString& a, const ShortString& b) { return a.view() == b.view(); }
    friend bool operator==(const ShortString& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const ShortString& a, const char* b) { return a.view() == std::string_view(b); }
    friend bool operator==(const ShortString& a, const std::string& b) { return a.view() == b; }

private:
    void Assign(std::string_view text)
    {
        len_ = static_cast<std::uint8_t>(std::min(text.size(), N));
        std::fill(std::copy_n(text.begin(), len_, chars_.begin()), chars_.end(), '\0');
    }

    std::array<char, N> chars_{};
    std::uint8_t len_ = 0;
};
