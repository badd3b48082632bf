#pragma once

#include "pemblon/core/Export.h"

namespace PBN {
namespace Strings {

class LangChangedEvent;
class LangChangingEvent;
class StringTableEvent;

// Told by the string table around a language switch. Every handler does nothing, so a
// listener overrides only what it needs. A listener must remove itself from the table before
// it is destroyed.
class PBN_API StringTableListener {
public:
    StringTableListener(const StringTableListener&) {}
    StringTableListener& operator=(const StringTableListener&) { return *this; }
    virtual ~StringTableListener();

    // After the active language changed.
    virtual void onLangChangedEvent(LangChangedEvent& event);
    // Before the active language changes.
    virtual void onLangChangingEvent(LangChangingEvent& event);
    // The older notification form; the library itself never calls these two.
    virtual void pbnStringTableLangChanging();
    virtual void pbnStringTableLangChanged(StringTableEvent& event);

protected:
    StringTableListener() {}
};

} // namespace Strings
} // namespace PBN
