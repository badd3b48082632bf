#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

namespace PBN {
namespace Files {

class ConfFile;

// A handle on one item (an element child of the root) of a loaded configuration file.
// It owns nothing. Removing the element, reloading the file or destroying the file object
// leaves the handle dangling: do not use it afterwards.
//
// A null item (default-constructed, or for an index out of range) reads "", 0 or false and
// changes nothing. Changing members save the file when its auto-save flag is on.
class PBN_API ConfFileItem {
public:
    ConfFileItem();
    ConfFileItem(const ConfFileItem& other) = default;
    ConfFileItem& operator=(const ConfFileItem& other) = default;
    virtual ~ConfFileItem();

    bool isNull() const;
    Strings::ostring getName() const;
    Strings::ostring getValue() const;
    XML::XMLNode getNative() const;
    // Whether the name equals a declared item's name exactly.
    bool isStandard() const;

    unsigned int getParamsCount() const;
    // "" when out of range.
    Strings::ostring getParamNameAt(const unsigned int& index) const;
    Strings::ostring getParamValueAt(const unsigned int& index) const;
    // Case-insensitive name; "" when there is none.
    Strings::ostring getParamValue(const Strings::ostring& name) const;

    // Throws: PBN::Exception (SEVERE) for a name that is not a valid XML name; failures of the
    // auto-save (see ConfFile::save).
    void setName(const Strings::ostring& name);
    // Replaces the element's content by the text (escaped). Throws: as ConfFile::save.
    void setValue(const Strings::ostring& value);
    // The renamed attribute moves to the last position.
    // Throws: PBN::Exception (SEVERE) for an invalid name or one another parameter already has.
    void setParamNameAt(const unsigned int& index, const Strings::ostring& name);
    void setParamValueAt(const unsigned int& index, const Strings::ostring& value);
    // Sets an existing parameter (case-insensitive name); creates nothing.
    void setParamValue(const Strings::ostring& name, const Strings::ostring& value);
    // Throws: PBN::Exception (SEVERE) for an invalid name. A parameter of exactly that name
    // gets the new value.
    void addParam(const Strings::ostring& name, const Strings::ostring& value);
    void removeParamAt(const unsigned int& index);
    // Removes every parameter whose name matches ignoring case.
    void removeParam(const Strings::ostring& name);
    void clearParams();

protected:
    ConfFileItem(ConfFile* file, const XML::XMLNode& node);
    friend class ConfFile;

private:
    void changed() const;

    ConfFile* m_file;
    XML::XMLNode m_node;
};

} // namespace Files
} // namespace PBN
