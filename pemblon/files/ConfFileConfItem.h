#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <vector>

namespace PBN {
namespace Files {

class ConfFileConf;

// One declared item of a configuration file: the element name, its default text, whether it
// may occur only once, and its parameters (attributes) with their defaults. Made only by
// ConfFileConf::addItem, which owns it. Names are not checked here; a declaration that could
// not be written is refused when the file is written or repaired.
class PBN_API ConfFileConfItem {
public:
    virtual ~ConfFileConfItem();

    Strings::ostring getName() const;
    // An empty name is ignored.
    void setName(const Strings::ostring& name);
    Strings::ostring getDftVal() const;
    void setDftVal(const Strings::ostring& dftVal);
    bool isUnique() const;
    void setUnique(const bool& unique);

    // Appends a parameter; duplicates are not looked for.
    void addParam(const Strings::ostring& name, const Strings::ostring& dftVal);
    unsigned int getParamsCount() const;
    // "" when out of range.
    Strings::ostring getParamNameAt(const unsigned int& index) const;
    Strings::ostring getParamDftValAt(const unsigned int& index) const;
    void removeParamAt(const unsigned int& index);
    // Removes the first parameter of exactly that name.
    void removeParam(const Strings::ostring& name);
    void clearParams();

protected:
    ConfFileConfItem(ConfFileConf* conf, const Strings::ostring& name, const Strings::ostring& dftVal);
    friend class ConfFileConf;

private:
    ConfFileConf* m_conf;
    Strings::ostring m_name;
    Strings::ostring m_dftVal;
    bool m_unique;
    std::vector<Strings::ostring> m_paramNames;
    std::vector<Strings::ostring> m_paramDftVals;
};

} // namespace Files
} // namespace PBN
