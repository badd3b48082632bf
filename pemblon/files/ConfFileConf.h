#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/ConfFileItem.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

#include <memory>
#include <vector>

namespace PBN {
namespace XML {
class XMLDoc;
}
namespace Files {

class ConfFile;
class ConfFileConfItem;

// The declaration of an application's configuration file: the root element's name, the file's
// path and the declared items. It owns its items and the ConfFile it hands out.
//
// Not copyable: it owns the file object and the items, and nothing needs two of them.
class PBN_API ConfFileConf {
public:
    // Path "Conf.xml" (relative to the executable's directory), no items, no file yet.
    ConfFileConf(const Strings::ostring& rootName, const bool& autoSave);
    ConfFileConf(const ConfFileConf&) = delete;
    ConfFileConf& operator=(const ConfFileConf&) = delete;
    virtual ~ConfFileConf();

    Strings::ostring getRootName() const;
    // Read again at every validation and default write.
    void setRootName(const Strings::ostring& rootName);
    // Used when getConfFile next creates the file object, not before.
    void setPath(const Strings::ostring& path);
    // Also sets the flag of the file object when there is one.
    void setAutoSave(const bool& autoSave);

    // A new unique item without parameters; the declaration keeps ownership.
    ConfFileConfItem* addItem(const Strings::ostring& name, const Strings::ostring& dftVal);
    void removeItemAt(const unsigned int& index);
    // Removes the first item of exactly that name.
    void removeItem(const Strings::ostring& name);
    void clearItems();
    unsigned int getItemsCount() const;
    // Null when out of range.
    ConfFileConfItem* getItemAt(const unsigned int& index) const;

    // Returns the file object, creating it first when there is none: the path is resolved
    // against the executable's directory unless absolute, then the file is initialised
    // (init: read or written with defaults, validated and repaired) or only read.
    // An existing object is returned as it is, whatever `init` says.
    // Throws: what ConfFile::dftInit or ConfFile::read throw; the object then stays created.
    ConfFile* getConfFile(const bool& init);
    // Forgets the in-memory file (the file on disk stays); the next getConfFile loads it again.
    void deleteConfFile();
    // Saves the file when there is a file object. Throws: as ConfFile::save.
    void save();

    // File-side members: each takes getConfFile(true) first and forwards to it.
    // Throws: what getConfFile(true) and the ConfFile member throw.
    unsigned int size();
    ConfFileItem operator[](const unsigned int& index);
    ConfFileItem operator[](const Strings::ostring& name);
    Strings::ostring getItemNameAt(const unsigned int& index);
    Strings::ostring getItemValueAt(const unsigned int& index);
    Strings::ostring getItemValue(const Strings::ostring& name);
    XML::XMLNode getItemNative(const unsigned int& index);
    XML::XMLNode getItemNative(const Strings::ostring& name);
    std::vector<ConfFileItem> getItems(const Strings::ostring& name);
    std::vector<ConfFileItem> getOtherItems();
    bool isItemStandard(const unsigned int& index);
    bool isItemStandard(const Strings::ostring& name);
    void setItemNameAt(const unsigned int& index, const Strings::ostring& name);
    void setItemValueAt(const unsigned int& index, const Strings::ostring& value);
    void setItemValue(const Strings::ostring& name, const Strings::ostring& value);
    XML::XMLDoc& getDoc();

private:
    std::unique_ptr<ConfFile> m_confFile;
    Strings::ostring m_rootName;
    Strings::ostring m_path;
    bool m_autoSave;
    std::vector<std::unique_ptr<ConfFileConfItem>> m_items;
};

} // namespace Files
} // namespace PBN
