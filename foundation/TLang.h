#pragma once
// The translation service: every caption and message of the program is a
// text number looked up here. The built-in Spanish language is entry 0;
// language files "*.LNG" beside the program are entries 1 onward. Lookups
// fall back to the built-in text for every number the current language
// lacks. Texts are Windows-1252 byte strings.
//
// Language file format: lines end at CR LF, LF or CR, a NUL byte ends the
// text. A line starting with a digit is a text line: four characters of
// number, one separator character, then the text. Lines starting with VER,
// LANG or AUTHOR (any case) are header lines, value after the first "=".
// When a number or key occurs twice, the last line wins.
#include "foundation/TTranslateEvent.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One language.
struct TLengua {
    std::string Name;     // LANG header, else the file name without extension
    std::int32_t Version = 0; // VER header
    bool Loaded = false;  // its lines were read; only loaded languages are offered
    std::string FileName; // full path, or "*" for the built-in language
    std::vector<std::string> Lines; // every line as read
    std::string Author;   // AUTHOR header
};

class TLang {
public:
    static constexpr int kMaxText = 10000; // text numbers run from 0 to 9999

    // Reads the built-in language and every "*.LNG" file of the program's folder.
    TLang();
    // The same with the language files of the given folder; an empty folder
    // name means the built-in language alone.
    explicit TLang(const std::string& folder);
    TLang(const TLang&) = delete;
    TLang& operator=(const TLang&) = delete;

    // Makes entry Index current and runs every translate callback; False,
    // and nothing happens, when it is current already or does not exist.
    bool SetLanguage(int Index);

    // The text of N in the current language, else its built-in text, else "".
    std::string GetText(int N) const;

    // Registers a callback and runs it once; nothing at all when a callback
    // with the same code is registered already.
    void AddTask(const TTranslateEvent& Method);
    // Unregisters the first callback with the same code.
    void RemoveTask(const TTranslateEvent& Method);
    // Runs every registered callback in registration order.
    void TranslateAll();

    const std::vector<TLengua>& Languages() const { return Languages_; }
    int Current() const { return Current_; }

private:
    using Index = std::array<std::uint32_t, kMaxText>;

    void ScanLanguages(const std::string& folder);
    void LoadLanguage(const std::string& FileName, int Index);
    static void BuildIndex(const std::vector<std::string>& source, std::vector<std::string>& texts,
                           Index& index);
    static void LoadBuiltIn(std::vector<std::string>& lines);

    std::vector<std::string> Texts_;
    std::vector<std::string> DefaultTexts_;
    std::vector<TTranslateEvent> Tasks_;
    std::vector<TLengua> Languages_;
    int Current_ = -1;
    // Line of Texts_ / DefaultTexts_ per text number; 0 means not defined.
    // 32 bits wide, so that a language of more than 65535 lines still works.
    Index ActiveIndex_{};
    Index DefaultIndex_{};
};

// The service of the run and its one owner. The main window installs it;
// installing another frees the one before, and the last lives until the
// process ends.
extern std::unique_ptr<TLang> TheLang;

// The text of number N in the current language, else its built-in Spanish
// text, else the empty text. Before TheLang exists, the built-in texts serve.
std::string LangText(int N);
