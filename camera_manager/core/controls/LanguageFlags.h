#pragma once

// The small flags of the language combo, drawn here rather than shipped as pictures: one for
// each language index 0 to 12 ("en", "de", "es", "pt", "it", "fr", "nl", "pl", "cs", "hu", "zh",
// "ja", "ko").

#include <wx/bitmap.h>

constexpr int languageFlagWidth = 21;
constexpr int languageFlagHeight = 14;

// The flag of a language index; an invalid bitmap outside 0 to 12.
wxBitmap LanguageFlag(int index);
