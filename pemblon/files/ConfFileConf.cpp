#include "pemblon/files/ConfFileConf.h"

#include "pemblon/core/Defines.h"
#include "pemblon/files/ConfFile.h"
#include "pemblon/files/ConfFileConfItem.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

namespace PBN {
namespace Files {

using Strings::ostring;

ConfFileConf::ConfFileConf(const ostring& rootName, const bool& autoSave)
    : m_rootName(rootName), m_path(Defines::dftConfFilename()), m_autoSave(autoSave) {}

ConfFileConf::~ConfFileConf() {
    // The file object first: it refers to the declared items.
    m_confFile.reset();
    m_items.clear();
}

ostring ConfFileConf::getRootName() const {
    return m_rootName;
}
void ConfFileConf::setRootName(const ostring& rootName) {
    m_rootName = rootName;
}
void ConfFileConf::setPath(const ostring& path) {
    m_path = path;
}

void ConfFileConf::setAutoSave(const bool& autoSave) {
    m_autoSave = autoSave;
    if (m_confFile)
        m_confFile->setAutoSave(autoSave);
}

ConfFileConfItem* ConfFileConf::addItem(const ostring& name, const ostring& dftVal) {
    m_items.emplace_back(new ConfFileConfItem(this, name, dftVal));
    return m_items.back().get();
}

void ConfFileConf::removeItemAt(const unsigned int& index) {
    if (index < m_items.size())
        m_items.erase(m_items.begin() + index);
}

void ConfFileConf::removeItem(const ostring& name) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if ((*it)->getName() == name) {
            m_items.erase(it);
            return;
        }
    }
}

void ConfFileConf::clearItems() {
    m_items.clear();
}

unsigned int ConfFileConf::getItemsCount() const {
    return static_cast<unsigned int>(m_items.size());
}

ConfFileConfItem* ConfFileConf::getItemAt(const unsigned int& index) const {
    return index < m_items.size() ? m_items[index].get() : nullptr;
}

ConfFile* ConfFileConf::getConfFile(const bool& init) {
    if (m_confFile)
        return m_confFile.get();
    ostring fileName = m_path;
    if (!wxIsAbsolutePath(m_path.wxstr())) {
        wxString dir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath(wxPATH_GET_VOLUME);
        // Without a known executable the working directory stands in.
        if (dir.empty())
            dir = wxGetCwd();
        fileName = ostring(dir + wxFileName::GetPathSeparator()) + m_path;
    }
    m_confFile.reset(new ConfFile(this, fileName, m_autoSave));
    if (init)
        m_confFile->dftInit();
    else
        m_confFile->read();
    return m_confFile.get();
}

void ConfFileConf::deleteConfFile() {
    m_confFile.reset();
}

void ConfFileConf::save() {
    if (m_confFile)
        m_confFile->save();
}

unsigned int ConfFileConf::size() {
    return getConfFile(true)->getItemsCount();
}
ConfFileItem ConfFileConf::operator[](const unsigned int& index) {
    return getConfFile(true)->getItemAt(index);
}
ConfFileItem ConfFileConf::operator[](const ostring& name) {
    return getConfFile(true)->getItem(name);
}
ostring ConfFileConf::getItemNameAt(const unsigned int& index) {
    return getConfFile(true)->getItemNameAt(index);
}
ostring ConfFileConf::getItemValueAt(const unsigned int& index) {
    return getConfFile(true)->getItemValueAt(index);
}
ostring ConfFileConf::getItemValue(const ostring& name) {
    return getConfFile(true)->getItemValue(name);
}

XML::XMLNode ConfFileConf::getItemNative(const unsigned int& index) {
    return getConfFile(true)->getItemNative(index);
}

XML::XMLNode ConfFileConf::getItemNative(const ostring& name) {
    return getConfFile(true)->getItemNative(name);
}

std::vector<ConfFileItem> ConfFileConf::getItems(const ostring& name) {
    return getConfFile(true)->getItems(name);
}
std::vector<ConfFileItem> ConfFileConf::getOtherItems() {
    return getConfFile(true)->getOtherItems();
}
bool ConfFileConf::isItemStandard(const unsigned int& index) {
    return getConfFile(true)->isItemStandard(index);
}
bool ConfFileConf::isItemStandard(const ostring& name) {
    return getConfFile(true)->isItemStandard(name);
}

void ConfFileConf::setItemNameAt(const unsigned int& index, const ostring& name) {
    getConfFile(true)->setItemNameAt(index, name);
}

void ConfFileConf::setItemValueAt(const unsigned int& index, const ostring& value) {
    getConfFile(true)->setItemValueAt(index, value);
}

void ConfFileConf::setItemValue(const ostring& name, const ostring& value) {
    getConfFile(true)->setItemValue(name, value);
}

XML::XMLDoc& ConfFileConf::getDoc() {
    return getConfFile(true)->getDoc();
}

} // namespace Files
} // namespace PBN
