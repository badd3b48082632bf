#include "pemblon/files/ConfFileItem.h"

#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfFile.h"
#include "pemblon/files/SettingsFile.h"
#include "pemblon/xml/XMLAttribute.h"

namespace PBN {
namespace Files {

using Private::SettingsFile;
using Strings::ostring;
using XML::XMLAttribute;
using XML::XMLNode;

namespace {

[[noreturn]] void throwInvalidName(const ostring& name) {
    throw Exception(SettingsFile::tr("\"%1%\" is not a valid name for a configuration file.", name),
                    Exception::SEVERE);
}

} // namespace

ConfFileItem::ConfFileItem() : m_file(nullptr) {}

ConfFileItem::ConfFileItem(ConfFile* file, const XMLNode& node) : m_file(file), m_node(node) {}

ConfFileItem::~ConfFileItem() = default;

void ConfFileItem::changed() const {
    if (m_file)
        m_file->changed();
}

bool ConfFileItem::isNull() const {
    return m_node.isNull();
}
ostring ConfFileItem::getName() const {
    return m_node.getName();
}
ostring ConfFileItem::getValue() const {
    return m_node.getText();
}
XMLNode ConfFileItem::getNative() const {
    return m_node;
}

bool ConfFileItem::isStandard() const {
    return m_file && !m_node.isNull() && m_file->isDeclared(m_node.getName());
}

unsigned int ConfFileItem::getParamsCount() const {
    return m_node.getAttributesCount();
}

ostring ConfFileItem::getParamNameAt(const unsigned int& index) const {
    return m_node.getAttributeAt(index).getName();
}

ostring ConfFileItem::getParamValueAt(const unsigned int& index) const {
    return m_node.getAttributeAt(index).getValue();
}

ostring ConfFileItem::getParamValue(const ostring& name) const {
    return m_node.getAttribute(name, "").getValue();
}

void ConfFileItem::setName(const ostring& name) {
    if (m_node.isNull())
        return;
    if (!SettingsFile::isValidName(name))
        throwInvalidName(name);
    m_node.setName(name);
    changed();
}

void ConfFileItem::setValue(const ostring& value) {
    if (m_node.isNull())
        return;
    m_node.setText(value, true);
    changed();
}

void ConfFileItem::setParamNameAt(const unsigned int& index, const ostring& name) {
    XMLAttribute attr = m_node.getAttributeAt(index);
    if (attr.isNull())
        return;
    if (!SettingsFile::isValidName(name))
        throwInvalidName(name);
    // Two attributes of one name would make the file unreadable.
    for (unsigned int i = 0; i < m_node.getAttributesCount(); ++i)
        if (i != index && m_node.getAttributeAt(i).getName() == name)
            throwInvalidName(name);
    attr.setName(name);
    changed();
}

void ConfFileItem::setParamValueAt(const unsigned int& index, const ostring& value) {
    XMLAttribute attr = m_node.getAttributeAt(index);
    if (attr.isNull())
        return;
    attr.setValue(value);
    changed();
}

void ConfFileItem::setParamValue(const ostring& name, const ostring& value) {
    XMLAttribute attr = m_node.getAttribute(name, "");
    if (attr.isNull())
        return;
    attr.setValue(value);
    changed();
}

void ConfFileItem::addParam(const ostring& name, const ostring& value) {
    if (m_node.isNull())
        return;
    if (!SettingsFile::isValidName(name))
        throwInvalidName(name);
    m_node.addAttribute(name, value);
    changed();
}

void ConfFileItem::removeParamAt(const unsigned int& index) {
    if (index >= m_node.getAttributesCount())
        return;
    m_node.removeAttributeAt(index);
    changed();
}

void ConfFileItem::removeParam(const ostring& name) {
    if (m_node.isNull())
        return;
    m_node.removeAttributes(name);
    changed();
}

void ConfFileItem::clearParams() {
    if (m_node.isNull())
        return;
    m_node.clearAttributes();
    changed();
}

} // namespace Files
} // namespace PBN
