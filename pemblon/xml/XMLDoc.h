#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLException.h"

#include <iosfwd>
#include <string>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <wx/datetime.h>

namespace PBN {
namespace Files {
namespace Private {
class SettingsFile;
}
} // namespace Files
namespace XML {

class XMLNode;
class XMLProcInst;
class XSLTSheet;

// Owns one libxml2 document. Every constructor leaves exactly one tree behind; copies are deep.
// Handles (XMLNode, XMLAttribute ...) point into the tree and die with it.
class PBN_API XMLDoc {
public:
    // Kind of a top-level node. At document level every kind not listed (the DTD, for one)
    // reports ELEM_ELEMENT; XMLMixedNode reports ELEM_NONE for those.
    enum ElemType { ELEM_NONE = 0, ELEM_ELEMENT = 1, ELEM_TEXT = 2, ELEM_COMMENT = 3, ELEM_PROCINST = 4 };

    // A new "1.0" document whose root element has an empty name.
    XMLDoc();
    // Loads a file, with XInclude processing and optionally DTD validation.
    // Throws: XMLException (SEVERE or WARNING) naming the file, or carrying libxml2's first report.
    XMLDoc(const Strings::ostring& path, const bool& keepBlanks = false, const bool& validate = false);
    // Loads from memory; `fromMemory` only selects this form. `name` is the base URL and the name
    // used in messages. Throws: as the file form.
    XMLDoc(const bool& fromMemory, const Strings::ostring& text, const bool& keepBlanks, const bool& validate,
           const Strings::ostring& name);
    XMLDoc(const XMLDoc& other);
    XMLDoc& operator=(const XMLDoc& other);
    virtual ~XMLDoc();

    // Compare the trees: two distinct documents are never equal.
    bool operator==(const XMLDoc& other) const;
    bool operator!=(const XMLDoc& other) const;

    Strings::ostring getFilename() const;
    Strings::ostring getDocEncoding() const;
    void setDocEncoding(const Strings::ostring& encoding);
    XMLNode getRoot() const;
    Strings::ostring getIndentString() const;
    void setIndentString(const Strings::ostring& indentString);

    Strings::ostring getXMLVersion() const;
    void setXMLVersion(const Strings::ostring& version);
    bool isStandalone() const;
    bool hasStandalone() const;
    void setStandalone(const bool& standalone);
    void unsetStandalone();

    // Top-level nodes, counted from the first node before the root element (none without a root).
    unsigned int getElementsCount() const;
    ElemType getElementTypeAt(const unsigned int& index) const;
    Strings::ostring getCommentAt(const unsigned int& index) const;
    XMLProcInst getProcInstAt(const unsigned int& index) const;
    // Positions: before the node at `pos`; negative or past the end appends after the last node.
    // A comment containing "--" or ending in "-" would make the saved file unreadable: refused.
    void addComment(const Strings::ostring& text, const int& pos = -1);
    XMLProcInst addProcInst(const Strings::ostring& name, const int& pos = -1);
    // Refused (no change) for a null handle; a node of another document is adopted.
    void addProcInst(const XMLProcInst& procInst, const int& pos = -1);
    void removeCommentAt(const unsigned int& index);
    void removeProcInstAt(const unsigned int& index);
    void clearComments();
    void clearProcInsts();

    void removeBlanks();
    // Blank text kept at load time would stop libxml2 from indenting, so it goes first.
    void indent(const bool& value);
    // Throws: XMLException when libxml2 reports while serialising.
    Strings::ostring toString(const bool& withEncoding = true) const;
    Strings::ostring toHTMLString(const bool& flag = false) const;
    // Writes toString(withEncoding) to `path` ("" = the stored file name; a non-empty path becomes
    // it) through a temporary file renamed into place. Failures are not thrown: false comes back
    // and the old file is left whole. An empty file name writes nothing. What would not load
    // again is not written either: a document without a named root element, or one the loader
    // refuses (a tree deeper than the parser's 256 levels, a name that is not an XML name).
    bool save(const Strings::ostring& path = Strings::ostring(), const bool& withEncoding = true);
    XSLTSheet castToXSLTSheet() const;

    // Integer text: value != 0; otherwise "true" ignoring case.
    static bool castBoolean(const Strings::ostring& text);
    // "YYYY-MM-DD[THH:MM:SS[.mmm]][ +HH:MM]" back to a date (the zone "+00:00" may follow the
    // time without a blank, as dateToString writes it); the invalid date for blank text or
    // fields out of range.
    static wxDateTime stringToDate(const Strings::ostring& text);
    // "" for the invalid date.
    static Strings::ostring dateToString(const wxDateTime& date, const bool& withTime = true,
                                         const bool& withMilliseconds = false,
                                         const bool& withTimezone = false);

    static void initLib();
    static void releaseLib();

protected:
    // Adopts the tree (null gives a new empty document).
    explicit XMLDoc(xmlDoc* tree);
    xmlDoc* getNative() const;
    // First top-level node, null without a root element.
    xmlNode* getTopElement() const;
    void parse(const Strings::ostring& path, const bool& keepBlanks, const bool& validate);
    void parseMem(const Strings::ostring& text, const bool& keepBlanks, const bool& validate,
                  const Strings::ostring& name);

    static void handleGenericError(void* context, const char* format, ...);
    static void handleStructuredError(void* context, xmlError* error);

private:
    Strings::ostring fileName;
    xmlDoc* document;
    Strings::ostring encoding;
    bool keepBlanks;
    bool indentOn;
    std::string indentString;

    void applySaveSettings() const;
    // The serialised bytes; a wide encoding (UTF-16) holds NULs, which an ostring would cut.
    std::string dumpBytes(const bool& withEncoding) const;
    // What save() writes: dumpBytes(), refused (XMLException) without a named root element.
    std::string saveBytes(const bool& withEncoding) const;
    xmlNode* topNodeAt(const unsigned int& index) const;
    void insertTopNode(xmlNode* node, const int& pos);

    friend class XMLNode;
    friend class XMLMixedNode;
    friend class XMLProcInst;
    friend class XMLAttribute;
    friend class XMLNamespace;
    friend class XMLErrorScope;
    friend class XSLTSheet;
    friend class XPathExpr;
    friend class XMLStream;
    friend class SAXHandler;
    friend class Files::Private::SettingsFile; // saves exactly the bytes save() writes
};

// Writes toString(true).
PBN_API std::wostream& operator<<(std::wostream& os, const XMLDoc& doc);
// The left text followed by doc.toString(true).
PBN_API Strings::ostring operator+(const Strings::ostring& text, const XMLDoc& doc);

} // namespace XML
} // namespace PBN

// The handle types XMLDoc hands out, complete for every includer.
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"
