#pragma once

// The records behind the string table's language events. The table builds them on its stack for
// the time of one dispatch; listeners must not keep them.

#include <wx/language.h>

namespace PBN {
namespace Strings {

struct __LangChangingEventData {
    wxLanguage language; // active before the switch
};

struct __LangChangedEventData {
    wxLanguage language; // active before the switch
};

} // namespace Strings
} // namespace PBN
