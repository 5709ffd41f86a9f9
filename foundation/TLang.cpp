#include "foundation/TLang.h"

#include "foundation/BuiltInTexts.h"
#include "foundation/Libreria.h"

#include <algorithm>

std::unique_ptr<TLang> TheLang;

TLang::TLang()
    : TLang(ProgramFolder())
{
}

TLang::TLang(const std::string& folder)
{
    ScanLanguages(folder);
    Current_ = -1;
    SetLanguage(0);
}

void TLang::ScanLanguages(const std::string& folder)
{
    Languages_.clear();
    std::vector<std::string> names;
    std::string dir = PathNoSlash(folder);
    if (!folder.empty())
        SearchFil(dir + "/*.LNG", names);

    TLengua builtIn;
    builtIn.FileName = "*";
    Languages_.push_back(std::move(builtIn));
    for (const std::string& name : names) {
        TLengua lang;
        lang.FileName = dir + "/" + name;
        size_t dot = name.rfind('.');
        lang.Name = dot == std::string::npos ? name : name.substr(0, dot);
        Languages_.push_back(std::move(lang));
    }
    for (size_t i = 0; i < Languages_.size(); ++i) {
        Languages_[i].Loaded = false;
        Languages_[i].Lines.clear();
        LoadLanguage(Languages_[i].FileName, int(i));
    }
}

void TLang::LoadLanguage(const std::string& FileName, int Index)
{
    TLengua& lang = Languages_[size_t(Index)];
    if (FileName == "*") {
        LoadBuiltIn(lang.Lines);
    } else if (!LoadLines(FileName, lang.Lines)) {
        return; // stays listed, not loaded, and nothing is said
    }
    for (const std::string& line : lang.Lines) {
        if (StartsWithKey(line, "VER"))
            lang.Version = SafeStrToInt(LineValue(line));
        if (StartsWithKey(line, "LANG"))
            lang.Name = LineValue(line);
        if (StartsWithKey(line, "AUTHOR"))
            lang.Author = LineValue(line);
    }
    lang.Loaded = true;
    if (Index == 0)
        BuildIndex(lang.Lines, DefaultTexts_, DefaultIndex_);
}

void TLang::BuildIndex(const std::vector<std::string>& source, std::vector<std::string>& texts,
                       Index& index)
{
    texts.clear();
    index.fill(0);
    texts.emplace_back();
    for (const std::string& line : source) {
        if (line.empty() || !IsDigit(line[0]))
            continue;
        int number = SafeStrToInt(line.substr(0, 4));
        if (number < 0 || number >= kMaxText)
            continue;
        texts.push_back(line.size() > 5 ? line.substr(5) : std::string());
        index[size_t(number)] = std::uint32_t(texts.size() - 1);
    }
}

void TLang::LoadBuiltIn(std::vector<std::string>& lines)
{
    const std::vector<std::string>& builtIn = BuiltInLines();
    lines.insert(lines.end(), builtIn.begin(), builtIn.end());
}

bool TLang::SetLanguage(int Index)
{
    if (Index == Current_ || Index < 0 || size_t(Index) >= Languages_.size())
        return false;
    Current_ = Index;
    if (Index == 0) {
        ActiveIndex_ = DefaultIndex_;
        Texts_ = DefaultTexts_;
    } else {
        BuildIndex(Languages_[size_t(Index)].Lines, Texts_, ActiveIndex_);
    }
    TranslateAll();
    return true;
}

std::string TLang::GetText(int N) const
{
    if (N < 0 || N >= kMaxText)
        return {};
    std::uint32_t line = ActiveIndex_[size_t(N)];
    if (line != 0)
        return line < Texts_.size() ? Texts_[line] : std::string();
    line = DefaultIndex_[size_t(N)];
    return line < DefaultTexts_.size() ? DefaultTexts_[line] : std::string();
}

void TLang::AddTask(const TTranslateEvent& Method)
{
    for (const TTranslateEvent& task : Tasks_)
        if (SameCode(task, Method))
            return;
    Tasks_.push_back(Method);
    if (Method.Call)
        Method.Call();
}

void TLang::RemoveTask(const TTranslateEvent& Method)
{
    auto it = std::find_if(Tasks_.begin(), Tasks_.end(),
                           [&](const TTranslateEvent& task) { return SameCode(task, Method); });
    if (it != Tasks_.end())
        Tasks_.erase(it);
}

void TLang::TranslateAll()
{
    // A callback may register or remove callbacks: run the ones registered
    // at the start, from a copy so that removing one cannot pull it away from
    // under its own call, and skip those that an earlier callback removed.
    const std::vector<TTranslateEvent> started = Tasks_;
    for (size_t i = 0; i < started.size(); ++i) {
        const auto still = std::find_if(Tasks_.begin(), Tasks_.end(),
                                        [&](const TTranslateEvent& task) { return SameCode(task, started[i]); });
        if (still != Tasks_.end() && started[i].Call)
            started[i].Call();
    }
}

std::string LangText(int N)
{
    if (TheLang)
        return TheLang->GetText(N);
    // Code that runs without the service (tools, tests of the core) still
    // gets the built-in texts, never the language files.
    static const TLang builtInOnly{std::string()};
    return builtInOnly.GetText(N);
}
