#include "pemblon/strings/StringTableListener.h"

namespace PBN {
namespace Strings {

StringTableListener::~StringTableListener() = default;

void StringTableListener::onLangChangedEvent(LangChangedEvent&) {}

void StringTableListener::onLangChangingEvent(LangChangingEvent&) {}

void StringTableListener::pbnStringTableLangChanging() {}

void StringTableListener::pbnStringTableLangChanged(StringTableEvent&) {}

} // namespace Strings
} // namespace PBN
