#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/ConfFileItem.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLNode.h"

#include <memory>
#include <vector>

#include <wx/gdicmn.h>

class wxListCtrl;

namespace PBN {
namespace XML {
class XMLDoc;
}
namespace Files {

class ConfFileConf;

// A configuration file declared by a ConfFileConf: an XML document whose root element holds
// one element per item. Made only by ConfFileConf::getConfFile, which owns it.
//
// Every save (save(), the repair of assertValid, auto-save, saveColumnsWidth) goes through a
// temporary file renamed over the file, so a failed save leaves the old file whole and throws.
// Members that need the document throw PBN::Exception (SEVERE) "The configuration file is not
// loaded." while none is held (after a read that failed).
class PBN_API ConfFile {
public:
    // Window state kept in the attribute "state" of a window element. MINIMIZED is what is
    // written for a window that is neither maximised nor iconised, i.e. a normal one.
    enum WndState : int { UNDEFINED = 0, MAXIMIZED = 1, MINIMIZED = 2, ICONIZED = 3 };

    ConfFile(const ConfFile&) = delete;
    ConfFile& operator=(const ConfFile&) = delete;
    virtual ~ConfFile();

    // ---- life cycle ----
    bool fileExist() const;
    // Loads the file, blanks kept, without validation; the document held before stays when
    // the load fails. Throws: XML::XMLException of the load.
    void read();
    // Writes a document holding the declared root and every declared item with its default
    // text and parameters. Throws: PBN::Exception (SEVERE) when the declaration holds a name
    // that cannot be written (nothing is written then) or the file cannot be saved.
    void writeDefault();
    // Reads the file, or writes the defaults when it is missing or unreadable, then validates
    // with repair. Throws: as writeDefault and assertValid.
    void dftInit();
    // Throws: PBN::Exception (SEVERE) naming the file when it cannot be saved.
    void save();
    // Checks the document against the declaration. Without repair the first fault throws
    // "The configuration file is invalid." and nothing changes; with repair every fault is
    // mended and the file saved when anything was. Throws: PBN::Exception (SEVERE).
    void assertValid(const bool& repair);
    void setAutoSave(const bool& autoSave);
    bool isAutoSave() const;
    Strings::ostring getFilename() const;
    // Throws: PBN::Exception (SEVERE) when no document is held.
    XML::XMLDoc& getDoc();
    const XML::XMLDoc& getDoc() const;

    // ---- items by index (element children of the root) ----
    unsigned int getItemsCount() const;
    // A null item when out of range.
    ConfFileItem getItemAt(const unsigned int& index) const;
    // "" when out of range.
    Strings::ostring getItemNameAt(const unsigned int& index) const;
    Strings::ostring getItemValueAt(const unsigned int& index) const;
    XML::XMLNode getItemNative(const unsigned int& index) const;
    bool isItemStandard(const unsigned int& index) const;
    // Throws: PBN::Exception (SEVERE) for an invalid XML name.
    void setItemNameAt(const unsigned int& index, const Strings::ostring& name);
    void setItemValueAt(const unsigned int& index, const Strings::ostring& value);
    void removeItemAt(const unsigned int& index);

    // ---- items by name ----
    // The first child of that name, ignoring case. Throws: PBN::Exception (SEVERE) "The
    // configuration file does not contain any item named %1%." when there is none; the members
    // below that take a name throw the same.
    ConfFileItem getItem(const Strings::ostring& name) const;
    Strings::ostring getItemValue(const Strings::ostring& name) const;
    XML::XMLNode getItemNative(const Strings::ostring& name) const;
    bool isItemStandard(const Strings::ostring& name) const;
    void setItemValue(const Strings::ostring& name, const Strings::ostring& value);
    // Appends an item. Throws: PBN::Exception (SEVERE) when a unique item of exactly that name
    // is declared (even if the document lacks it), or the name is not a valid XML name.
    ConfFileItem addItem(const Strings::ostring& name, const Strings::ostring& value);
    // Exact names.
    void removeItems(const Strings::ostring& name);
    void clearItems();
    std::vector<ConfFileItem> getItems(const Strings::ostring& name) const;
    // Items whose name is not declared (exact comparison).
    std::vector<ConfFileItem> getOtherItems() const;

    // Sets the value at "a/b/c": names are looked up ignoring case; a missing last piece sets
    // the attribute of that name, else appends an element. False when a middle piece is
    // missing, or the path is empty or holds a piece that is not a valid XML name (nothing
    // changes then). Never saves.
    bool set(const Strings::ostring& path, const Strings::ostring& value);
    // Applies "name:value;name:value" (quotes and blanks around the command and around each
    // value are trimmed; the name is taken as it stands). Pairs set() refuses are skipped.
    // Never saves.
    void set(const Strings::ostring& command);

    // ---- window geometry: text "x y w h", attribute "state" ----
    // setWndPos and setWndSize write the state MINIMIZED (normal), so a caller that keeps a
    // maximised or iconised state calls setWndState after them. None of these saves.
    static void setWndPos(XML::XMLNode& node, const wxPoint& pos);
    static void setWndSize(XML::XMLNode& node, const wxSize& size);
    static void setWndState(XML::XMLNode& node, const WndState& state);
    // Reads pos with two integers and size with four; otherwise leaves them as they were.
    // A number too large for an int leaves the position or size it belongs to unchanged.
    static WndState getWndSize(const XML::XMLNode& node, wxPoint& pos, wxSize& size);

    // ---- list column widths ----
    // A null list or file does nothing. The ConfFile forms work under `node` or, when it is
    // null, under the root, and always save. Throws: as save().
    static void saveColumnsWidth(const wxListCtrl* list, XML::XMLNode& node, const Strings::ostring& name);
    static void saveColumnsWidth(const wxListCtrl* list, ConfFile* file, const Strings::ostring& name,
                                 XML::XMLNode& node);
    static void saveColumnsWidth(const wxListCtrl* list, ConfFile* file, const Strings::ostring& name);
    // Stored widths, else defaults[i], else wxLIST_AUTOSIZE. Never saves.
    static void restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, XML::XMLNode& node,
                                    const Strings::ostring& name);
    static void restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, ConfFile* file,
                                    const Strings::ostring& name, XML::XMLNode& node);
    static void restoreColumnsWidth(wxListCtrl* list, const std::vector<int>& defaults, ConfFile* file,
                                    const Strings::ostring& name);
    static void restoreColumnsWidth(wxListCtrl* list, XML::XMLNode& node, const Strings::ostring& name);
    static void restoreColumnsWidth(wxListCtrl* list, ConfFile* file, const Strings::ostring& name,
                                    XML::XMLNode& node);
    static void restoreColumnsWidth(wxListCtrl* list, ConfFile* file, const Strings::ostring& name);

protected:
    ConfFile(ConfFileConf* conf, const Strings::ostring& fileName, const bool& autoSave);
    friend class ConfFileConf;
    friend class ConfFileItem;

private:
    // The root element. Throws: PBN::Exception (SEVERE) when no document is held.
    XML::XMLNode root() const;
    // Saves when the auto-save flag is on.
    void changed();
    bool isDeclared(const Strings::ostring& name) const;
    // Throws: PBN::Exception (SEVERE) for a declared name that could not be written.
    void checkDeclaration() const;

    ConfFileConf* m_conf;
    Strings::ostring m_fileName;
    bool m_autoSave;
    std::unique_ptr<XML::XMLDoc> m_doc;
};

} // namespace Files
} // namespace PBN
