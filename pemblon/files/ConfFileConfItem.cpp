#include "pemblon/files/ConfFileConfItem.h"

namespace PBN {
namespace Files {

using Strings::ostring;

ConfFileConfItem::ConfFileConfItem(ConfFileConf* conf, const ostring& name, const ostring& dftVal)
    : m_conf(conf), m_name(name), m_dftVal(dftVal), m_unique(true) {}

ConfFileConfItem::~ConfFileConfItem() = default;

ostring ConfFileConfItem::getName() const {
    return m_name;
}

void ConfFileConfItem::setName(const ostring& name) {
    if (name.size() > 0)
        m_name = name;
}

ostring ConfFileConfItem::getDftVal() const {
    return m_dftVal;
}
void ConfFileConfItem::setDftVal(const ostring& dftVal) {
    m_dftVal = dftVal;
}
bool ConfFileConfItem::isUnique() const {
    return m_unique;
}
void ConfFileConfItem::setUnique(const bool& unique) {
    m_unique = unique;
}

void ConfFileConfItem::addParam(const ostring& name, const ostring& dftVal) {
    m_paramNames.push_back(name);
    m_paramDftVals.push_back(dftVal);
}

unsigned int ConfFileConfItem::getParamsCount() const {
    return static_cast<unsigned int>(m_paramNames.size());
}

ostring ConfFileConfItem::getParamNameAt(const unsigned int& index) const {
    return index < m_paramNames.size() ? m_paramNames[index] : ostring();
}

ostring ConfFileConfItem::getParamDftValAt(const unsigned int& index) const {
    return index < m_paramDftVals.size() ? m_paramDftVals[index] : ostring();
}

void ConfFileConfItem::removeParamAt(const unsigned int& index) {
    if (index >= m_paramNames.size())
        return;
    m_paramNames.erase(m_paramNames.begin() + index);
    m_paramDftVals.erase(m_paramDftVals.begin() + index);
}

void ConfFileConfItem::removeParam(const ostring& name) {
    for (unsigned int i = 0; i < m_paramNames.size(); ++i) {
        if (m_paramNames[i] == name) {
            removeParamAt(i);
            return;
        }
    }
}

void ConfFileConfItem::clearParams() {
    m_paramNames.clear();
    m_paramDftVals.clear();
}

} // namespace Files
} // namespace PBN
