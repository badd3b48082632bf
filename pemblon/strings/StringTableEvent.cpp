#include "pemblon/strings/StringTableEvent.h"

namespace PBN {
namespace Strings {

StringTableEvent::StringTableEvent() : type(NO_DATA), data(nullptr) {}

StringTableEvent::StringTableEvent(const wxLanguage& language)
    : type(LANG_CHANGED), data(new _LangChangedData{language}) {}

StringTableEvent::StringTableEvent(const StringTableEvent& other)
    : PBN::Event(other), type(other.type),
      data(other.type == LANG_CHANGED && other.data ? new _LangChangedData(*other.data) : nullptr) {}

StringTableEvent& StringTableEvent::operator=(const StringTableEvent& other) {
    if (this == &other)
        return *this;
    PBN::Event::operator=(other);
    clearData();
    type = other.type;
    data = other.type == LANG_CHANGED && other.data ? new _LangChangedData(*other.data) : nullptr;
    return *this;
}

StringTableEvent::~StringTableEvent() {
    clearData();
}

void StringTableEvent::clearData() {
    delete data;
    data = nullptr;
}

bool StringTableEvent::operator==(const StringTableEvent& other) const {
    if (!PBN::Event::operator==(other))
        return false;
    if (type != LANG_CHANGED)
        return true;
    // An event of type 0 whose data was cleared compares by type only.
    if (!data || !other.data)
        return other.type == type && data == other.data;
    return data->language == other.data->language;
}

bool StringTableEvent::operator!=(const StringTableEvent& other) const {
    return !(*this == other);
}

} // namespace Strings
} // namespace PBN
