#include "foundation/TLang.h"

// Placeholder until the translation service lands.
std::string LangText(int) { return {}; }
