#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/Config.h"
#include "pemblon/strings/ostring.h"

#include <vector>

#include <wx/datetime.h>
#include <wx/longlong.h>

namespace PBN {
namespace Files {

// Typed values in a Config, kept as text under a key (see Config for the key syntax).
// Instantiated for bool, short, unsigned short, int, unsigned int, wxLongLong, wxULongLong,
// float, double, wxDateTime and ostring.
//
// Text forms: bool "true"/"false"; integers in decimal; float and double with the stream's six
// significant digits, so 3.14159265 reads back as 3.14159; 64-bit values as "hi lo" (two
// 32-bit words); dates as XMLDoc::dateToString(value, true, false, true). Lists are the texts
// joined by one blank, so an ostring element holding a blank reads back as several elements.
//
// Reads never throw: a missing item or a text the type does not accept gives *ok false and
// 0, false, "" or what XMLDoc::stringToDate gives. Writes throw PBN::Exception (SEVERE) for a
// key that cannot be written (see Config) and do nothing while the Config holds no document.
template <class T> class PBN_API ConfigItem {
public:
    // The Config must outlive the item.
    explicit ConfigItem(Config& config);
    ConfigItem(const ConfigItem& other);
    ConfigItem& operator=(const ConfigItem& other);
    virtual ~ConfigItem();

    T get(const Strings::ostring& key, bool* ok = nullptr) const;
    // True when the item existed before the call, false when this call created it.
    bool set(const Strings::ostring& key, const T& value) const;
    // Appends to `out`; the first piece the type does not accept ends the reading with *ok
    // false, keeping what was read before it.
    void getList(const Strings::ostring& key, std::vector<T>& out, bool* ok = nullptr) const;
    std::vector<T> getList(const Strings::ostring& key, bool* ok = nullptr) const;
    bool setList(const Strings::ostring& key, const std::vector<T>& values) const;

    // The text of one value; a date in wxDefaultDateTimeFormat here.
    static Strings::ostring defaultValue(const T& value);
    // The text of a list; ostring elements are quoted, inner quotes escaped with a backslash.
    static Strings::ostring defaultList(const std::vector<T>& values);

private:
    Config* m_config;
};

// Only the text instantiation touches the document; every other one goes through it.
template <>
PBN_API Strings::ostring ConfigItem<Strings::ostring>::get(const Strings::ostring& key, bool* ok) const;
template <>
PBN_API bool ConfigItem<Strings::ostring>::set(const Strings::ostring& key,
                                               const Strings::ostring& value) const;

extern template class ConfigItem<bool>;
extern template class ConfigItem<short>;
extern template class ConfigItem<unsigned short>;
extern template class ConfigItem<int>;
extern template class ConfigItem<unsigned int>;
extern template class ConfigItem<wxLongLong>;
extern template class ConfigItem<wxULongLong>;
extern template class ConfigItem<float>;
extern template class ConfigItem<double>;
extern template class ConfigItem<wxDateTime>;
extern template class ConfigItem<Strings::ostring>;

} // namespace Files
} // namespace PBN
