#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLNode.h"

#include <memory>
#include <vector>

#include <wx/gdicmn.h>

namespace PBN {
namespace XML {
class XMLDoc;
}
namespace Files {

template <class T> class ConfigItem;

// The free-form settings store: one XML file whose root carries a "version" attribute and
// below it whatever tree the keys create. A key is "a/b/c" for an element, "a/b/[x]" for the
// attribute x of a/b; names are case-sensitive and the root is never named. Typed values are
// read and written with ConfigItem<T>.
//
// Nothing reaches the disk until save() or writeDefault(); both replace the file through a
// temporary file and throw when it cannot be written.
//
// A key that could not be written and read back (empty, with an empty part as in "a//b" or
// "a/[]", or with a part that is not a valid XML name) is never created: reads treat it as a
// missing item, set(command) skips it, and the other writing members throw PBN::Exception
// (SEVERE). Without a document (before load or writeDefault) reads find nothing and writes
// do nothing, except where a member says it throws.
class PBN_API Config {
public:
    // State of a window stored by setWindowPos; MINIMIZED stands for a normal window.
    enum WindowStatus : int { MINIMIZED = 0, MAXIMIZED = 1, ICONIZED = 2 };

    Config();
    // An empty root name becomes "config"; the version is kept as given, even empty.
    Config(const Strings::ostring& fileName, const Strings::ostring& rootName,
           const Strings::ostring& version);
    // Copies hold their own copy of the document.
    Config(const Config& other);
    Config& operator=(const Config& other);
    virtual ~Config();

    Strings::ostring path() const;
    Strings::ostring rootName() const;
    Strings::ostring version() const;
    // An empty name becomes "config". Only writeDefault copies it into a document.
    void rootName(const Strings::ostring& name);
    void version(const Strings::ostring& version);
    bool loaded() const;
    // Throws: PBN::Exception (SEVERE) when no document is held.
    XML::XMLDoc& doc();
    const XML::XMLDoc& doc() const;

    // Reads the file; root name and version come from it ("1.0" when the version is missing).
    // False with the reason in *error (when given) for a missing or unreadable file; the
    // document held before stays.
    bool load(Strings::ostring* error = nullptr);
    // Replaces the document by an empty one (root and version) and writes it to path().
    // Throws: PBN::Exception (SEVERE) when the root name is not a valid XML name or the file
    // cannot be written.
    void writeDefault();
    // Writes the document to path(); `indent` lays the tree out afresh first.
    // Throws: PBN::Exception (SEVERE) without a document or when the file cannot be written.
    void save(const bool& indent = true);

    // The element a key names; with `create` it is made with its missing ancestors.
    // Throws (create only): PBN::Exception (SEVERE) for a key that cannot be written.
    XML::XMLNode itemNode(const Strings::ostring& key, const bool& create = false);
    XML::XMLAttribute itemAttr(const Strings::ostring& key, const bool& create = false);
    // The attribute's value or the element's text; "" when missing.
    Strings::ostring itemValue(const Strings::ostring& key);
    // Creates the item when missing and replaces its content by the text (escaped).
    // Throws: PBN::Exception (SEVERE) for a key that cannot be written.
    void itemValue(const Strings::ostring& key, const Strings::ostring& value);
    // Removes the item with everything below it; false when missing. The root is never removed.
    bool remove(const Strings::ostring& key) const;
    // Applies "key:value;" pairs (\: \; and \\ escape). Text after the last ';' is ignored.
    // False when the command does not parse or a pair names a key that cannot be written or a
    // value XML cannot hold; every other pair is applied all the same.
    bool set(const Strings::ostring& command);

    static Strings::ostring windowStatusToString(const WindowStatus& status);
    static WindowStatus stringToWindowStatus(const Strings::ostring& text);
    // Stores "x y w h" under `key` and the status under key + "[status]". Note that
    // "window/main" keeps the status in the attribute "mainstatus" of "window", and
    // "window/main/" in the attribute "status" of "window/main".
    // Throws: PBN::Exception (SEVERE) for a key that cannot be written.
    void setWindowPos(const Strings::ostring& key, const wxPoint& pos, const wxSize& size,
                      const WindowStatus& status) const;
    // (0,0), 800x600 and MINIMIZED for what is missing; true only when all was read.
    bool getWindowPos(const Strings::ostring& key, wxPoint& pos, wxSize& size, WindowStatus& status) const;

protected:
    void parseKey(const Strings::ostring& key, std::vector<Strings::ostring>& parts, bool& isAttribute) const;
    bool parseCommand(const Strings::ostring& command, std::vector<Strings::ostring>& keys,
                      std::vector<Strings::ostring>& values);
    // A new XML::XMLNode (isAttribute false) or XML::XMLAttribute (true) the caller deletes,
    // or null when the item is missing. Throws (create only): as itemValue.
    void* getAux(const Strings::ostring& key, bool& isAttribute, const bool& create, bool* created) const;

private:
    struct Item {
        bool found = false;
        bool isAttribute = false;
        XML::XMLNode node;
        XML::XMLAttribute attr;
    };
    // Resolves a key. Without `create` a missing or unwritable key is not found; with it such
    // a key throws. Never names the root for a write.
    Item resolve(const Strings::ostring& key, const bool& create, bool* created) const;
    // Whether itemValue(key, ...) would accept the key.
    bool writable(const Strings::ostring& key) const;

    Strings::ostring m_fileName;
    Strings::ostring m_rootName;
    Strings::ostring m_version;
    std::unique_ptr<XML::XMLDoc> m_doc;

    template <class T> friend class ConfigItem;
};

} // namespace Files
} // namespace PBN
