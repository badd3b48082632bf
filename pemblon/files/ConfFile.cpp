#include "pemblon/files/ConfFile.h"

#include "pemblon/core/Exception.h"
#include "pemblon/files/ConfFileConf.h"
#include "pemblon/files/ConfFileConfItem.h"
#include "pemblon/files/SettingsFile.h"
#include "pemblon/files/SplitBlanks.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"

#include <charconv>
#include <climits>
#include <optional>
#include <sstream>

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/listctrl.h>

namespace PBN {
namespace Files {

using Private::SettingsFile;
using Private::splitBlanks;
using Strings::ostring;
using XML::XMLAttribute;
using XML::XMLNode;

namespace {

// An integer text (already accepted by ostring::isInt) as an int; nothing when it does not fit.
std::optional<int> toInt(const ostring& text) {
    std::string s = text.str();
    size_t start = s.find_first_not_of(" \r\n\t");
    size_t end = s.find_last_not_of(" \r\n\t");
    if (start == std::string::npos)
        return std::nullopt;
    s = s.substr(start, end - start + 1);
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    long long value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr != s.data() + s.size() || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

ostring geometryText(int x, int y, int w, int h) {
    std::ostringstream os;
    os << x << ' ' << y << ' ' << w << ' ' << h;
    return ostring(os.str().c_str());
}

void setState(XMLNode& node, const char* text) {
    XMLAttribute attr = node.getAttribute("state", "");
    if (attr.isNull())
        node.addAttribute("state", text);
    else
        attr.setValue(text);
}

[[noreturn]] void throwInvalidName(const ostring& name) {
    throw Exception(SettingsFile::tr("\"%1%\" is not a valid name for a configuration file.", name),
                    Exception::SEVERE);
}

} // namespace

ConfFile::ConfFile(ConfFileConf* conf, const ostring& fileName, const bool& autoSave)
    : m_conf(conf), m_fileName(fileName), m_autoSave(autoSave) {}

ConfFile::~ConfFile() = default;

// ---- life cycle ----

bool ConfFile::fileExist() const {
    return wxFileExists(m_fileName.wxstr());
}

void ConfFile::read() {
    m_doc = SettingsFile::load(m_fileName);
}

void ConfFile::checkDeclaration() const {
    if (!SettingsFile::isValidName(m_conf->getRootName()))
        throwInvalidName(m_conf->getRootName());
    for (unsigned int i = 0; i < m_conf->getItemsCount(); ++i) {
        const ConfFileConfItem* item = m_conf->getItemAt(i);
        if (!SettingsFile::isValidName(item->getName()))
            throwInvalidName(item->getName());
        for (unsigned int p = 0; p < item->getParamsCount(); ++p)
            if (!SettingsFile::isValidName(item->getParamNameAt(p)))
                throwInvalidName(item->getParamNameAt(p));
    }
}

void ConfFile::writeDefault() {
    checkDeclaration();
    auto doc = std::make_unique<XML::XMLDoc>();
    XMLNode rootNode = doc->getRoot();
    rootNode.setName(m_conf->getRootName());
    for (unsigned int i = 0; i < m_conf->getItemsCount(); ++i) {
        const ConfFileConfItem* item = m_conf->getItemAt(i);
        XMLNode node = rootNode.addChild(item->getName(), -1);
        node.setText(item->getDftVal(), true);
        for (unsigned int p = 0; p < item->getParamsCount(); ++p)
            node.addAttribute(item->getParamNameAt(p), item->getParamDftValAt(p));
    }
    m_doc = std::move(doc);
    SettingsFile::write(*m_doc, m_fileName);
}

void ConfFile::dftInit() {
    if (!fileExist()) {
        writeDefault();
    } else {
        try {
            read();
        } catch (const XML::XMLException&) {
            // A file that is not XML would stop the application at every start: the defaults
            // replace it. One we may not even open is left alone; it may be perfectly good.
            if (!wxFile::Access(m_fileName.wxstr(), wxFile::read))
                throw;
            writeDefault();
        }
    }
    assertValid(true);
}

void ConfFile::save() {
    XML::XMLDoc& doc = getDoc();
    doc.removeBlanks();
    doc.indent(false);
    SettingsFile::write(doc, m_fileName);
}

void ConfFile::assertValid(const bool& repair) {
    XMLNode rootNode = root();
    if (repair)
        checkDeclaration();
    bool mended = false;
    auto fault = [&]() {
        if (!repair)
            throw Exception(SettingsFile::tr("The configuration file is invalid."), Exception::SEVERE);
        mended = true;
    };

    const ostring rootName = m_conf->getRootName();
    if (rootNode.getName() != rootName) {
        fault();
        rootNode.setName(rootName);
    }
    for (unsigned int i = 0; i < m_conf->getItemsCount(); ++i) {
        const ConfFileConfItem* item = m_conf->getItemAt(i);
        const ostring name = item->getName();
        unsigned int matches = 0;
        for (XMLNode child = rootNode.getFirstChild(); !child.isNull(); child = child.getSibling()) {
            if (child.getName() != name)
                continue;
            ++matches;
            for (unsigned int p = 0; p < item->getParamsCount(); ++p) {
                if (child.getAttribute(item->getParamNameAt(p), "").isNull()) {
                    fault();
                    child.addAttribute(item->getParamNameAt(p), item->getParamDftValAt(p));
                }
            }
        }
        if (matches == 0) {
            fault();
            XMLNode node = rootNode.addChild(name, -1);
            node.setText(item->getDftVal(), true);
            for (unsigned int p = 0; p < item->getParamsCount(); ++p)
                node.addAttribute(item->getParamNameAt(p), item->getParamDftValAt(p));
        }
        if (item->isUnique() && matches > 1) {
            fault();
            // The last occurrence in document order is the one kept.
            unsigned int seen = 0;
            for (unsigned int c = rootNode.getChildrenCount(); c-- > 0;) {
                if (rootNode.getChildAt(c).getName() == name && ++seen > 1)
                    rootNode.removeChildAt(c);
            }
        }
    }
    if (mended)
        save();
}

void ConfFile::setAutoSave(const bool& autoSave) {
    m_autoSave = autoSave;
}
bool ConfFile::isAutoSave() const {
    return m_autoSave;
}
ostring ConfFile::getFilename() const {
    return m_fileName;
}

XML::XMLDoc& ConfFile::getDoc() {
    if (!m_doc)
        throw Exception(SettingsFile::tr("The configuration file is not loaded."), Exception::SEVERE);
    return *m_doc;
}

const XML::XMLDoc& ConfFile::getDoc() const {
    return const_cast<ConfFile*>(this)->getDoc();
}

XMLNode ConfFile::root() const {
    XMLNode node = getDoc().getRoot();
    if (node.isNull())
        throw Exception(SettingsFile::tr("The configuration file is not loaded."), Exception::SEVERE);
    return node;
}

void ConfFile::changed() {
    if (m_autoSave)
        save();
}

bool ConfFile::isDeclared(const ostring& name) const {
    for (unsigned int i = 0; i < m_conf->getItemsCount(); ++i)
        if (m_conf->getItemAt(i)->getName() == name)
            return true;
    return false;
}

// ---- items by index ----

unsigned int ConfFile::getItemsCount() const {
    return root().getChildrenCount();
}

ConfFileItem ConfFile::getItemAt(const unsigned int& index) const {
    return ConfFileItem(const_cast<ConfFile*>(this), root().getChildAt(index));
}

ostring ConfFile::getItemNameAt(const unsigned int& index) const {
    return root().getChildAt(index).getName();
}
ostring ConfFile::getItemValueAt(const unsigned int& index) const {
    return root().getChildAt(index).getText();
}
XMLNode ConfFile::getItemNative(const unsigned int& index) const {
    return root().getChildAt(index);
}

bool ConfFile::isItemStandard(const unsigned int& index) const {
    XMLNode node = root().getChildAt(index);
    return !node.isNull() && isDeclared(node.getName());
}

void ConfFile::setItemNameAt(const unsigned int& index, const ostring& name) {
    XMLNode node = root().getChildAt(index);
    if (node.isNull())
        return;
    if (!SettingsFile::isValidName(name))
        throwInvalidName(name);
    node.setName(name);
    changed();
}

void ConfFile::setItemValueAt(const unsigned int& index, const ostring& value) {
    XMLNode node = root().getChildAt(index);
    if (node.isNull())
        return;
    node.setText(value, true);
    changed();
}

void ConfFile::removeItemAt(const unsigned int& index) {
    XMLNode rootNode = root();
    if (index >= rootNode.getChildrenCount())
        return;
    rootNode.removeChildAt(index);
    changed();
}

// ---- items by name ----

ConfFileItem ConfFile::getItem(const ostring& name) const {
    XMLNode node = root().getChild(name, "");
    if (node.isNull())
        throw Exception(SettingsFile::tr("The configuration file does not contain any item named %1%.", name),
                        Exception::SEVERE);
    return ConfFileItem(const_cast<ConfFile*>(this), node);
}

ostring ConfFile::getItemValue(const ostring& name) const {
    return getItem(name).getValue();
}
XMLNode ConfFile::getItemNative(const ostring& name) const {
    return getItem(name).getNative();
}
bool ConfFile::isItemStandard(const ostring& name) const {
    return getItem(name).isStandard();
}
void ConfFile::setItemValue(const ostring& name, const ostring& value) {
    getItem(name).setValue(value);
}

ConfFileItem ConfFile::addItem(const ostring& name, const ostring& value) {
    XMLNode rootNode = root();
    for (unsigned int i = 0; i < m_conf->getItemsCount(); ++i) {
        const ConfFileConfItem* item = m_conf->getItemAt(i);
        if (item->isUnique() && item->getName() == name)
            throw Exception(
                SettingsFile::tr("The item \"%1%\" of the configuration file already exists.", name),
                Exception::SEVERE);
    }
    if (!SettingsFile::isValidName(name))
        throwInvalidName(name);
    XMLNode node = rootNode.addChild(name, -1);
    node.setText(value, true);
    changed();
    return ConfFileItem(this, node);
}

void ConfFile::removeItems(const ostring& name) {
    XMLNode rootNode = root();
    for (unsigned int i = rootNode.getChildrenCount(); i-- > 0;)
        if (rootNode.getChildAt(i).getName() == name)
            rootNode.removeChildAt(i);
    changed();
}

void ConfFile::clearItems() {
    root().clearChildren();
    changed();
}

std::vector<ConfFileItem> ConfFile::getItems(const ostring& name) const {
    std::vector<ConfFileItem> items;
    for (XMLNode child = root().getFirstChild(); !child.isNull(); child = child.getSibling())
        if (child.getName() == name)
            items.push_back(ConfFileItem(const_cast<ConfFile*>(this), child));
    return items;
}

std::vector<ConfFileItem> ConfFile::getOtherItems() const {
    std::vector<ConfFileItem> items;
    for (XMLNode child = root().getFirstChild(); !child.isNull(); child = child.getSibling())
        if (!isDeclared(child.getName()))
            items.push_back(ConfFileItem(const_cast<ConfFile*>(this), child));
    return items;
}

bool ConfFile::set(const ostring& path, const ostring& value) {
    const std::vector<ostring> pieces = path.tokenize("/", true);
    // An empty path would name the root and replace the whole file by one text.
    if (pieces.empty())
        return false;
    for (const ostring& piece : pieces)
        if (!SettingsFile::isValidName(piece))
            return false;
    XMLNode current = root();
    for (size_t i = 0; i < pieces.size(); ++i) {
        XMLNode child = current.getChild(pieces[i], "");
        if (!child.isNull()) {
            current = child;
            continue;
        }
        if (i + 1 < pieces.size())
            return false;
        XMLAttribute attr = current.getAttribute(pieces[i], "");
        if (!attr.isNull()) {
            attr.setValue(value);
        } else {
            XMLNode node = current.addChild(pieces[i], -1);
            node.setText(value, true);
        }
        return true;
    }
    current.clearChildren();
    current.setText(value, true);
    return true;
}

void ConfFile::set(const ostring& command) {
    ostring text = command;
    text.trim(" \t\"");
    for (const ostring& piece : text.tokenize(";", false)) {
        const int colon = piece.findFirstOf(":");
        if (colon < 0)
            continue;
        ostring value = piece.substr(static_cast<unsigned int>(colon) + 1);
        value.trim(" \t'");
        set(piece.substr(0, colon), value);
    }
}

// ---- window geometry ----

ConfFile::WndState ConfFile::getWndSize(const XMLNode& node, wxPoint& pos, wxSize& size) {
    const ostring state = node.getAttribute("state", "").getValue();
    WndState result = UNDEFINED;
    if (ci_eq(state, "MAXIMIZED"))
        result = MAXIMIZED;
    else if (ci_eq(state, "ICONIZED"))
        result = ICONIZED;
    else if (ci_eq(state, "MINIMIZED"))
        result = MINIMIZED;

    std::vector<std::optional<int>> numbers;
    for (const ostring& piece : splitBlanks(node.getText()))
        if (piece.isInt())
            numbers.push_back(toInt(piece));
    if (numbers.size() >= 2 && numbers[0] && numbers[1])
        pos = wxPoint(*numbers[0], *numbers[1]);
    if (numbers.size() >= 4 && numbers[2] && numbers[3])
        size = wxSize(*numbers[2], *numbers[3]);
    return result;
}

void ConfFile::setWndPos(XMLNode& node, const wxPoint& pos) {
    wxPoint storedPos(0, 0);
    wxSize storedSize(800, 600);
    getWndSize(node, storedPos, storedSize);
    setState(node, "MINIMIZED");
    node.setText(geometryText(pos.x, pos.y, storedSize.GetWidth(), storedSize.GetHeight()), true);
}

void ConfFile::setWndSize(XMLNode& node, const wxSize& size) {
    wxPoint storedPos(0, 0);
    wxSize storedSize(800, 600);
    getWndSize(node, storedPos, storedSize);
    setState(node, "MINIMIZED");
    node.setText(geometryText(storedPos.x, storedPos.y, size.GetWidth(), size.GetHeight()), true);
}

void ConfFile::setWndState(XMLNode& node, const WndState& state) {
    setState(node, state == MAXIMIZED ? "MAXIMIZED" : state == ICONIZED ? "ICONIZED" : "MINIMIZED");
}

// ---- list column widths ----

void ConfFile::saveColumnsWidth(const wxListCtrl* list, XMLNode& node, const ostring& name) {
    if (!list)
        return;
    XMLNode target = node;
    if (name.size() > 0) {
        target = node.getChild(name, "");
        if (target.isNull()) {
            if (!SettingsFile::isValidName(name))
                throwInvalidName(name);
            target = node.addChild(name, -1);
        }
    }
    std::ostringstream os;
    for (int i = 0; i < list->GetColumnCount(); ++i)
        os << (i ? " " : "") << list->GetColumnWidth(i);
    target.setText(ostring(os.str().c_str()), true);
}

void ConfFile::saveColumnsWidth(const wxListCtrl* list, ConfFile* file, const ostring& name, XMLNode& node) {
    if (!list || !file)
        return;
    XMLNode parent = node.isNull() ? file->root() : node;
    saveColumnsWidth(list, parent, name);
    file->save();
}

void ConfFile::saveColumnsWidth(const wxListCtrl* list, ConfFile* file, const ostring& name) {
    XMLNode none;
    saveColumnsWidth(list, file, name, none);
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, XMLNode& node,
                                   const ostring& name) {
    if (!list)
        return;
    const int columns = list->GetColumnCount();
    auto fallback = [&](int i) {
        return i < static_cast<int>(defaults.size()) ? defaults[i] : wxLIST_AUTOSIZE;
    };
    XMLNode source = node;
    if (name.size() > 0) {
        source = node.getChild(name, "");
        if (source.isNull()) {
            for (int i = 0; i < columns; ++i)
                list->SetColumnWidth(i, fallback(i));
            return;
        }
    }
    const std::vector<ostring> pieces = source.getText().tokenize(" ", false);
    for (int i = 0; i < columns; ++i) {
        std::optional<int> width;
        if (i < static_cast<int>(pieces.size()) && pieces[i].isInt())
            width = toInt(pieces[i]);
        list->SetColumnWidth(i, width ? *width : fallback(i));
    }
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, ConfFile* file,
                                   const ostring& name, XMLNode& node) {
    if (!list || !file)
        return;
    XMLNode parent = node.isNull() ? file->root() : node;
    restoreColumnsWidth(list, defaults, parent, name);
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, ConfFile* file,
                                   const ostring& name) {
    XMLNode none;
    restoreColumnsWidth(list, defaults, file, name, none);
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, XMLNode& node, const ostring& name) {
    restoreColumnsWidth(list, std::vector<int>(), node, name);
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, ConfFile* file, const ostring& name, XMLNode& node) {
    restoreColumnsWidth(list, std::vector<int>(), file, name, node);
}

void ConfFile::restoreColumnsWidth(wxListCtrl* list, ConfFile* file, const ostring& name) {
    restoreColumnsWidth(list, std::vector<int>(), file, name);
}

} // namespace Files
} // namespace PBN
