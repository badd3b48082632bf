#include "pemblon/files/Config.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfigItem.h"
#include "pemblon/files/SettingsFile.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLTree.h"

#include <wx/filefn.h>

namespace PBN {
namespace Files {

using Private::SettingsFile;
using Strings::ostring;
using XML::XMLAttribute;
using XML::XMLNode;

namespace {

ostring rootOrDefault(const ostring& name) {
    return name.size() > 0 ? name : Defines::defaultConfigRootName();
}

XMLNode findChild(const XMLNode& parent, const ostring& name) {
    for (XMLNode child = parent.getFirstChild(); !child.isNull(); child = child.getSibling())
        if (child.getName() == name)
            return child;
    return XMLNode();
}

XMLAttribute findAttribute(const XMLNode& node, const ostring& name) {
    for (XMLAttribute attr = node.getFirstAttribute(); !attr.isNull(); attr = attr.getSibling())
        if (attr.getName() == name)
            return attr;
    return XMLAttribute();
}

[[noreturn]] void throwUnwritableKey(const ostring& key) {
    throw Exception(SettingsFile::tr("The key \"%1%\" cannot be written to a settings file.", key),
                    Exception::SEVERE);
}

} // namespace

Config::Config() = default;

Config::Config(const ostring& fileName, const ostring& rootName, const ostring& version)
    : m_fileName(fileName), m_rootName(rootOrDefault(rootName)), m_version(version) {}

Config::Config(const Config& other)
    : m_fileName(other.m_fileName), m_rootName(other.m_rootName), m_version(other.m_version),
      m_doc(other.m_doc ? std::make_unique<XML::XMLDoc>(*other.m_doc) : nullptr) {}

Config& Config::operator=(const Config& other) {
    if (this == &other)
        return *this;
    m_doc = other.m_doc ? std::make_unique<XML::XMLDoc>(*other.m_doc) : nullptr;
    m_fileName = other.m_fileName;
    m_rootName = other.m_rootName;
    m_version = other.m_version;
    return *this;
}

Config::~Config() = default;

ostring Config::path() const {
    return m_fileName;
}
ostring Config::rootName() const {
    return m_rootName;
}
ostring Config::version() const {
    return m_version;
}
void Config::rootName(const ostring& name) {
    m_rootName = rootOrDefault(name);
}
void Config::version(const ostring& version) {
    m_version = version;
}
bool Config::loaded() const {
    return m_doc != nullptr;
}

XML::XMLDoc& Config::doc() {
    if (!m_doc)
        throw Exception(SettingsFile::tr("The settings file \"%1%\" is not loaded.", m_fileName),
                        Exception::SEVERE);
    return *m_doc;
}

const XML::XMLDoc& Config::doc() const {
    return const_cast<Config*>(this)->doc();
}

// ---- file ----

bool Config::load(ostring* error) {
    if (!wxFileExists(m_fileName.wxstr())) {
        if (error)
            *error = SettingsFile::tr("The file \"%1%\" was not found.", m_fileName);
        return false;
    }
    try {
        std::unique_ptr<XML::XMLDoc> doc = SettingsFile::load(m_fileName);
        XMLNode root = doc->getRoot();
        ostring version = findAttribute(root, Defines::configVersionAttr()).getValue();
        m_rootName = root.getName();
        m_version = version.size() > 0 ? version : Defines::configVersion();
        m_doc = std::move(doc);
    } catch (const Exception& e) {
        if (error)
            *error = e.getMessage();
        return false;
    }
    return true;
}

void Config::writeDefault() {
    const ostring rootName = rootOrDefault(m_rootName);
    if (!SettingsFile::isValidName(rootName))
        throw Exception(SettingsFile::tr("\"%1%\" is not a valid name for a settings file.", rootName),
                        Exception::SEVERE);
    auto doc = std::make_unique<XML::XMLDoc>();
    XMLNode root = doc->getRoot();
    root.setName(rootName);
    root.addAttribute(Defines::configVersionAttr(), m_version);
    m_doc = std::move(doc);
    SettingsFile::write(*m_doc, m_fileName);
}

void Config::save(const bool& indent) {
    XML::XMLDoc& document = doc();
    if (indent) {
        document.removeBlanks();
        document.indent(false);
    }
    SettingsFile::write(document, m_fileName);
}

// ---- keys ----

void Config::parseKey(const ostring& key, std::vector<ostring>& parts, bool& isAttribute) const {
    isAttribute = false;
    std::wstring collector;
    for (wchar_t c : key.wstr()) {
        if (c == L'/' || c == L']') {
            parts.emplace_back(collector);
            collector.clear();
        } else if (c == L'[') {
            isAttribute = true;
        } else {
            collector += c;
        }
    }
    if (!collector.empty())
        parts.emplace_back(collector);
}

Config::Item Config::resolve(const ostring& key, const bool& create, bool* created) const {
    if (created)
        *created = false;
    Item item;
    ostring trimmed = key;
    trimmed.trim(" \r\n\t");
    std::vector<ostring> parts;
    bool isAttribute = false;
    parseKey(trimmed, parts, isAttribute);
    item.isAttribute = isAttribute;

    // An empty part would make an unnamed tag, and a key without parts names the root: the
    // file could not be loaded again, or every setting would be replaced by one text.
    bool writable = !parts.empty();
    for (const ostring& part : parts)
        if (!SettingsFile::isValidName(part))
            writable = false;
    if (create && !writable)
        throwUnwritableKey(key);
    if (!m_doc)
        return item;
    XMLNode current = m_doc->getRoot();
    if (current.isNull())
        return item;
    if (parts.empty() && !isAttribute) {
        // Reading the empty key gives the root itself.
        item.node = current;
        item.found = true;
        return item;
    }
    if (!writable)
        return item;

    const size_t elements = isAttribute ? parts.size() - 1 : parts.size();
    size_t i = 0;
    for (; i < elements; ++i) {
        XMLNode next = findChild(current, parts[i]);
        if (next.isNull())
            break;
        current = next;
    }
    if (i < elements) {
        if (!create)
            return item;
        for (; i < elements; ++i)
            current = current.addChild(parts[i], -1);
        if (created)
            *created = true;
    }
    item.node = current;
    if (isAttribute) {
        item.attr = findAttribute(current, parts.back());
        if (item.attr.isNull()) {
            if (!create)
                return item;
            item.attr = current.addAttribute(parts.back(), "");
            if (created)
                *created = true;
        }
    }
    item.found = true;
    return item;
}

bool Config::writable(const ostring& key) const {
    ostring trimmed = key;
    trimmed.trim(" \r\n\t");
    std::vector<ostring> parts;
    bool isAttribute = false;
    parseKey(trimmed, parts, isAttribute);
    if (parts.empty())
        return false;
    for (const ostring& part : parts)
        if (!SettingsFile::isValidName(part))
            return false;
    return true;
}

void* Config::getAux(const ostring& key, bool& isAttribute, const bool& create, bool* created) const {
    Item item = resolve(key, create, created);
    isAttribute = item.isAttribute;
    if (!item.found)
        return nullptr;
    if (item.isAttribute)
        return new XMLAttribute(item.attr);
    return new XMLNode(item.node);
}

XMLNode Config::itemNode(const ostring& key, const bool& create) {
    Item item = resolve(key, create, nullptr);
    return item.found && !item.isAttribute ? item.node : XMLNode();
}

XMLAttribute Config::itemAttr(const ostring& key, const bool& create) {
    Item item = resolve(key, create, nullptr);
    return item.found && item.isAttribute ? item.attr : XMLAttribute();
}

ostring Config::itemValue(const ostring& key) {
    Item item = resolve(key, false, nullptr);
    if (!item.found)
        return ostring();
    return item.isAttribute ? item.attr.getValue() : item.node.getText();
}

void Config::itemValue(const ostring& key, const ostring& value) {
    XML::XMLTree::textToUtf8(value); // text XML cannot hold is refused before the item is made
    Item item = resolve(key, true, nullptr);
    if (!item.found)
        return;
    if (item.isAttribute)
        item.attr.setValue(value);
    else
        item.node.setText(value, true);
}

bool Config::remove(const ostring& key) const {
    Item item = resolve(key, false, nullptr);
    if (!item.found)
        return false;
    if (item.isAttribute) {
        item.node.removeAttribute(item.attr);
        return true;
    }
    if (item.node == m_doc->getRoot())
        return false;
    item.node.destroy();
    return true;
}

// ---- commands ----

bool Config::parseCommand(const ostring& command, std::vector<ostring>& keys, std::vector<ostring>& values) {
    std::wstring key, value;
    bool valueMode = false;
    const std::wstring text = command.wstr();
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        std::wstring& collector = valueMode ? value : key;
        if (c == L':') {
            if (key.empty())
                return false;
            valueMode = true;
        } else if (c == L';') {
            if (key.empty())
                return false;
            keys.emplace_back(key);
            values.emplace_back(value);
            key.clear();
            value.clear();
            valueMode = false;
        } else if (c == L'\\') {
            if (i + 1 >= text.size())
                return false;
            const wchar_t next = text[i + 1];
            if (next != L':' && next != L';' && next != L'\\')
                return false;
            collector += next;
            ++i;
        } else {
            collector += c;
        }
    }
    return true;
}

bool Config::set(const ostring& command) {
    std::vector<ostring> keys, values;
    bool result = parseCommand(command, keys, values);
    for (size_t i = 0; i < keys.size(); ++i) {
        // A value XML cannot hold is skipped like a key that cannot be written.
        if (!writable(keys[i]) || !XML::XMLTree::charsAllowed(XML::XMLTree::toUtf8(values[i]))) {
            result = false;
            continue;
        }
        itemValue(keys[i], values[i]);
    }
    return result;
}

// ---- window placement ----

ostring Config::windowStatusToString(const WindowStatus& status) {
    switch (status) {
    case MINIMIZED:
        return "minimized";
    case MAXIMIZED:
        return "maximized";
    case ICONIZED:
        return "iconized";
    }
    return ostring();
}

Config::WindowStatus Config::stringToWindowStatus(const ostring& text) {
    if (ci_eq(text, "maximized"))
        return MAXIMIZED;
    if (ci_eq(text, "iconized"))
        return ICONIZED;
    return MINIMIZED;
}

void Config::setWindowPos(const ostring& key, const wxPoint& pos, const wxSize& size,
                          const WindowStatus& status) const {
    Config& self = const_cast<Config&>(*this);
    ConfigItem<int>(self).setList(key, {pos.x, pos.y, size.GetWidth(), size.GetHeight()});
    ConfigItem<ostring>(self).set(key + ostring("[status]"), windowStatusToString(status));
}

bool Config::getWindowPos(const ostring& key, wxPoint& pos, wxSize& size, WindowStatus& status) const {
    Config& self = const_cast<Config&>(*this);
    bool result = true;
    bool ok = false;
    const std::vector<int> numbers = ConfigItem<int>(self).getList(key, &ok);
    if (ok && numbers.size() == 4) {
        pos = wxPoint(numbers[0], numbers[1]);
        size = wxSize(numbers[2], numbers[3]);
    } else {
        pos = wxPoint(0, 0);
        size = wxSize(800, 600);
        result = false;
    }
    const ostring text = ConfigItem<ostring>(self).get(key + ostring("[status]"), &ok);
    if (ok) {
        status = stringToWindowStatus(text);
    } else {
        status = MINIMIZED;
        result = false;
    }
    return result;
}

} // namespace Files
} // namespace PBN
