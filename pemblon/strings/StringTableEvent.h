#pragma once

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"

#include <wx/language.h>

namespace PBN {
namespace Strings {

// The older form of the language notice (StringTableListener::pbnStringTableLangChanged). The
// string table itself no longer raises it.
class PBN_API StringTableEvent : public PBN::Event {
public:
    enum Type { LANG_CHANGED = 0, NO_DATA = 1 };

    struct _LangChangedData {
        wxLanguage language;
    };

    StringTableEvent();
    StringTableEvent(const StringTableEvent& other);
    StringTableEvent& operator=(const StringTableEvent& other);
    ~StringTableEvent() override;

    Type getType() const { return type; }
    // Null unless the type is LANG_CHANGED.
    const _LangChangedData* getLangChangedData() const { return data; }
    void clearData();

    bool operator==(const StringTableEvent& other) const;
    bool operator!=(const StringTableEvent& other) const;

protected:
    explicit StringTableEvent(const wxLanguage& language);

private:
    Type type;
    _LangChangedData* data;
};

} // namespace Strings
} // namespace PBN
