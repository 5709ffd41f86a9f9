#pragma once
// A translate callback: a window's method that re-reads its texts after a
// language switch. Two callbacks are the same when their code is the same,
// whatever object they are bound to: each window that registers is the only
// instance of its class, so the method alone tells windows apart, and a
// window registering twice is registered once.
#include <functional>
#include <utility>

class TTranslateEvent {
public:
    TTranslateEvent(const void* code, std::function<void()> call)
        : Code(code), Call(std::move(call)) {}

    // The callback of a member function: TTranslateEvent::Of<&TFMain::Translate>(this).
    template <auto Method, class T>
    static TTranslateEvent Of(T* object)
    {
        return TTranslateEvent(&CodeOf<Method>::Tag, [object] { (object->*Method)(); });
    }

    const void* Code;
    std::function<void()> Call;

private:
    // One distinct address per member function, shared by every translation unit.
    template <auto Method>
    struct CodeOf {
        static constexpr char Tag = 0;
    };
};
