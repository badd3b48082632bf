#include "pemblon/xml/XMLDoc.h"

#include "pemblon/core/AtomicFile.h"
#include "pemblon/core/Defines.h"
#include "pemblon/core/FileSystemPath.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"
#include "pemblon/xml/XMLTree.h"
#include "pemblon/xml/XSLTSheet.h"

#include <cstdarg>
#include <cstdio>
#include <iomanip>
#include <mutex>
#include <new>
#include <ostream>
#include <set>
#include <sstream>

#include <boost/format.hpp>
#include <libxml/HTMLtree.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xinclude.h>
#include <libxml/xmlsave.h>
#include <wx/translation.h>

namespace PBN {
namespace XML {

using Strings::ostring;

namespace {

constexpr int baseParserOptions = XML_PARSE_RECOVER | XML_PARSE_DTDLOAD | XML_PARSE_PEDANTIC |
                                  XML_PARSE_XINCLUDE | XML_PARSE_NOCDATA | XML_PARSE_NOXINCNODE;

int parserOptions(const bool& keepBlanks) {
    return keepBlanks ? baseParserOptions : (baseParserOptions | XML_PARSE_NOBLANKS);
}

// Translated in the library's domain, "%1%" replaced by the file name. A translation with a
// broken or missing placeholder must still give a message, never a formatter exception.
[[noreturn]] void fail(const char* message, const ostring& name, const Exception::Severity& severity) {
    wxString translated = wxGetTranslation(wxString::FromUTF8(message), Defines::name().wxstr());
    boost::wformat format;
    format.exceptions(boost::io::no_error_bits);
    format.parse(translated.ToStdWstring());
    format % name.wstr();
    throw XMLException(ostring(format.str()), severity);
}

// Reads a tree through `read(context, options)`, which gets a fresh parser context only when
// the tree is to be validated, and resolves its XIncludes. Whatever the parser reported is
// thrown, after the half-built tree is freed; `name` names the source in messages.
template <class Read>
xmlDoc* readTree(const Read& read, const int& options, const bool& validate, const ostring& name,
                 ostring& encoding) {
    XMLErrorScope scope;
    xmlDoc* tree = nullptr;
    if (!validate) {
        tree = read(nullptr, options);
        if (scope.failed()) {
            xmlFreeDoc(tree);
            scope.check();
        }
        if (tree == nullptr) {
            fail("Failed to parse file \"%1%\".", name, Exception::SEVERE);
        }
    } else {
        xmlParserCtxt* context = xmlNewParserCtxt();
        if (context == nullptr) {
            scope.check();
            fail("Failed to allocate parser context.", name, Exception::WARNING);
        }
        tree = read(context, options | XML_PARSE_DTDVALID);
        const bool valid = context->valid != 0;
        xmlFreeParserCtxt(context);
        if (scope.failed()) {
            xmlFreeDoc(tree);
            scope.check();
        }
        if (tree == nullptr) {
            fail("Failed to read file \"%1%\".", name, Exception::SEVERE);
        }
        if (!valid) {
            xmlFreeDoc(tree);
            fail("Failed to validate file \"%1%\".", name, Exception::SEVERE);
        }
    }
    if (tree->encoding != nullptr) {
        encoding = ostring(reinterpret_cast<const char*>(tree->encoding));
    }
    const int included = xmlXIncludeProcessFlags(tree, options);
    if (scope.failed()) {
        xmlFreeDoc(tree);
        scope.check();
    }
    if (included == -1) {
        xmlFreeDoc(tree);
        fail("Failed to process XInclude in file \"%1%\".", name, Exception::WARNING);
    }
    return tree;
}

// libxml2 keeps a pointer to the indent string, one per thread, and uses it again when a
// detached node is written. Every string handed out therefore stays alive and unchanged for
// the life of the process: a thread may still hold a pointer set long ago.
const char* libraryIndentString(const std::string& indent) {
    static std::mutex lock;
    static auto* strings = new std::set<std::string>();
    std::lock_guard<std::mutex> guard(lock);
    return strings->insert(indent).first->c_str();
}

std::string takeBuffer(xmlChar* buffer, int size) {
    if (buffer == nullptr) {
        return std::string();
    }
    std::string bytes(reinterpret_cast<const char*>(buffer), size > 0 ? static_cast<size_t>(size) : 0);
    xmlFree(buffer);
    return bytes;
}

xmlDoc* newEmptyTree() {
    xmlDoc* tree = xmlNewDoc(BAD_CAST "1.0");
    if (tree == nullptr) {
        throw std::bad_alloc();
    }
    xmlNode* root = xmlNewDocNode(tree, nullptr, BAD_CAST "", nullptr);
    if (root == nullptr) {
        xmlFreeDoc(tree);
        throw std::bad_alloc();
    }
    xmlDocSetRootElement(tree, root);
    return tree;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty() || from == to) {
        return;
    }
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

} // namespace

// ---- construction ----

XMLDoc::XMLDoc()
    : document(newEmptyTree()), encoding(Defines::dftXmlEncoding()), keepBlanks(false), indentOn(false),
      indentString("  ") {}

XMLDoc::XMLDoc(const ostring& path, const bool& keepBlanks, const bool& validate)
    : document(nullptr), encoding(Defines::dftXmlEncoding()), keepBlanks(keepBlanks), indentOn(false),
      indentString("  ") {
    parse(path, keepBlanks, validate);
}

XMLDoc::XMLDoc(const bool& /*fromMemory*/, const ostring& text, const bool& keepBlanks, const bool& validate,
               const ostring& name)
    : document(nullptr), encoding(Defines::dftXmlEncoding()), keepBlanks(keepBlanks), indentOn(false),
      indentString("  ") {
    parseMem(text, keepBlanks, validate, name);
}

XMLDoc::XMLDoc(xmlDoc* tree)
    : document(tree != nullptr ? tree : newEmptyTree()), encoding(Defines::dftXmlEncoding()),
      keepBlanks(false), indentOn(false), indentString("  ") {}

XMLDoc::XMLDoc(const XMLDoc& other)
    : document(nullptr), encoding(Defines::dftXmlEncoding()), keepBlanks(false), indentOn(false),
      indentString("  ") {
    *this = other;
}

XMLDoc& XMLDoc::operator=(const XMLDoc& other) {
    if (this == &other) {
        return *this;
    }
    // Copy first, so that a failed copy leaves this document as it was.
    xmlDoc* copy = xmlCopyDoc(other.document, 1);
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    if (document != nullptr) {
        xmlFreeDoc(document);
    }
    document = copy;
    encoding = other.encoding;
    fileName = other.fileName;
    keepBlanks = other.keepBlanks;
    indentOn = other.indentOn;
    indentString = other.indentString;
    return *this;
}

XMLDoc::~XMLDoc() {
    if (document != nullptr) {
        xmlFreeDoc(document);
    }
}

bool XMLDoc::operator==(const XMLDoc& other) const {
    return document == other.document;
}
bool XMLDoc::operator!=(const XMLDoc& other) const {
    return document != other.document;
}

// ---- loading ----

void XMLDoc::parse(const ostring& path, const bool& keepBlanks, const bool& validate) {
    fileName = path;
    xmlLineNumbersDefault(1);
    const int options = parserOptions(keepBlanks);
    const std::string file = FileSystemPath::toNative(path);
    document = readTree(
        [&](xmlParserCtxt* context, const int& flags) {
            return context == nullptr ? xmlReadFile(file.c_str(), nullptr, flags)
                                      : xmlCtxtReadFile(context, file.c_str(), nullptr, flags);
        },
        options, validate, path, encoding);
}

void XMLDoc::parseMem(const ostring& text, const bool& keepBlanks, const bool& validate,
                      const ostring& name) {
    fileName = name;
    xmlLineNumbersDefault(1);
    const int options = parserOptions(keepBlanks);
    // Narrow text holds the document's bytes as they stand; wide text holds characters, which
    // reach the parser in UTF-8 whatever the declaration says.
    const std::string bytes = text.isUnicode() ? XMLTree::toUtf8(text) : text.str();
    const char* declared = text.isUnicode() ? "UTF-8" : nullptr;
    // The name is the base that relative XIncludes resolve against, so a file-system name too.
    const std::string url = FileSystemPath::toNative(name);
    document = readTree(
        [&](xmlParserCtxt* context, const int& flags) {
            const int size = static_cast<int>(bytes.size());
            return context == nullptr
                       ? xmlReadMemory(bytes.data(), size, url.c_str(), declared, flags)
                       : xmlCtxtReadMemory(context, bytes.data(), size, url.c_str(), declared, flags);
        },
        options, validate, name, encoding);
}

// ---- accessors ----

ostring XMLDoc::getFilename() const {
    return fileName;
}
ostring XMLDoc::getDocEncoding() const {
    return encoding;
}
void XMLDoc::setDocEncoding(const ostring& value) {
    encoding = value;
}
xmlDoc* XMLDoc::getNative() const {
    return document;
}

XMLNode XMLDoc::getRoot() const {
    return XMLNode(xmlDocGetRootElement(document), this);
}

ostring XMLDoc::getIndentString() const {
    return ostring(indentString.c_str());
}
void XMLDoc::setIndentString(const ostring& value) {
    indentString = value.str();
}

ostring XMLDoc::getXMLVersion() const {
    return XMLTree::fromBytes(document->version);
}

void XMLDoc::setXMLVersion(const ostring& version) {
    if (document->version != nullptr) {
        xmlFree(const_cast<xmlChar*>(document->version));
    }
    document->version = xmlStrdup(BAD_CAST version.str().c_str());
}

bool XMLDoc::isStandalone() const {
    return document->standalone == 1;
}
bool XMLDoc::hasStandalone() const {
    return document->standalone != -1;
}
void XMLDoc::setStandalone(const bool& standalone) {
    document->standalone = standalone ? 1 : 0;
}
void XMLDoc::unsetStandalone() {
    document->standalone = -1;
}

// ---- top-level nodes ----

xmlNode* XMLDoc::getTopElement() const {
    xmlNode* node = xmlDocGetRootElement(document);
    if (node == nullptr) {
        return nullptr;
    }
    while (node->prev != nullptr) {
        node = node->prev;
    }
    return node;
}

xmlNode* XMLDoc::topNodeAt(const unsigned int& index) const {
    unsigned int i = 0;
    for (xmlNode* n = getTopElement(); n != nullptr; n = n->next, ++i) {
        if (i == index) {
            return n;
        }
    }
    return nullptr;
}

void XMLDoc::insertTopNode(xmlNode* node, const int& pos) {
    xmlNode* before = pos >= 0 ? topNodeAt(static_cast<unsigned int>(pos)) : nullptr;
    XMLTree::link(reinterpret_cast<xmlNode*>(document), before, node);
}

unsigned int XMLDoc::getElementsCount() const {
    unsigned int count = 0;
    for (xmlNode* n = getTopElement(); n != nullptr; n = n->next) {
        ++count;
    }
    return count;
}

XMLDoc::ElemType XMLDoc::getElementTypeAt(const unsigned int& index) const {
    xmlNode* n = topNodeAt(index);
    if (n == nullptr) {
        return ELEM_NONE;
    }
    switch (n->type) {
    case XML_TEXT_NODE:
        return ELEM_TEXT;
    case XML_COMMENT_NODE:
        return ELEM_COMMENT;
    case XML_PI_NODE:
        return ELEM_PROCINST;
    default:
        return ELEM_ELEMENT;
    }
}

ostring XMLDoc::getCommentAt(const unsigned int& index) const {
    xmlNode* n = topNodeAt(index);
    if (n == nullptr || n->type != XML_COMMENT_NODE) {
        return ostring();
    }
    return XMLTree::fromBytes(n->content);
}

XMLProcInst XMLDoc::getProcInstAt(const unsigned int& index) const {
    xmlNode* n = topNodeAt(index);
    if (n == nullptr || n->type != XML_PI_NODE) {
        return XMLProcInst();
    }
    return XMLProcInst(n, this);
}

void XMLDoc::addComment(const ostring& text, const int& pos) {
    const std::string utf8 = XMLTree::toUtf8(text);
    if (!XMLTree::commentAllowed(utf8)) {
        return;
    }
    xmlNode* comment = xmlNewDocComment(document, BAD_CAST utf8.c_str());
    if (comment != nullptr) {
        insertTopNode(comment, pos);
    }
}

XMLProcInst XMLDoc::addProcInst(const ostring& name, const int& pos) {
    xmlNode* pi = xmlNewDocPI(document, BAD_CAST XMLTree::nameBytes(name).c_str(), BAD_CAST "");
    if (pi == nullptr) {
        return XMLProcInst();
    }
    insertTopNode(pi, pos);
    return XMLProcInst(pi, this);
}

void XMLDoc::addProcInst(const XMLProcInst& procInst, const int& pos) {
    xmlNode* pi = procInst.getNative();
    if (pi == nullptr || pi->type != XML_PI_NODE) {
        return;
    }
    xmlNode* before = pos >= 0 ? topNodeAt(static_cast<unsigned int>(pos)) : nullptr;
    if (before == pi) {
        return;
    }
    if (XMLTree::prepareMove(pi, reinterpret_cast<xmlNode*>(document), document)) {
        XMLTree::link(reinterpret_cast<xmlNode*>(document), before, pi);
    }
}

void XMLDoc::removeCommentAt(const unsigned int& index) {
    xmlNode* n = topNodeAt(index);
    if (n != nullptr && n->type == XML_COMMENT_NODE) {
        XMLTree::unlinkAndFree(n);
    }
}

void XMLDoc::removeProcInstAt(const unsigned int& index) {
    xmlNode* n = topNodeAt(index);
    if (n != nullptr && n->type == XML_PI_NODE) {
        XMLTree::unlinkAndFree(n);
    }
}

void XMLDoc::clearComments() {
    for (xmlNode* n = getTopElement(); n != nullptr;) {
        xmlNode* next = n->next;
        if (n->type == XML_COMMENT_NODE) {
            XMLTree::unlinkAndFree(n);
        }
        n = next;
    }
}

void XMLDoc::clearProcInsts() {
    for (xmlNode* n = getTopElement(); n != nullptr;) {
        xmlNode* next = n->next;
        if (n->type == XML_PI_NODE) {
            XMLTree::unlinkAndFree(n);
        }
        n = next;
    }
}

// ---- blanks and serialising ----

void XMLDoc::removeBlanks() {
    for (xmlNode* n = getTopElement(); n != nullptr; n = n->next) {
        if (n->type == XML_ELEMENT_NODE) {
            XMLNode(n, this).removeBlanks();
        }
    }
}

void XMLDoc::indent(const bool& value) {
    if (keepBlanks) {
        removeBlanks();
    }
    indentOn = value;
}

void XMLDoc::applySaveSettings() const {
    xmlSaveNoEmptyTags = indentOn ? 1 : 0;
    xmlTreeIndentString = libraryIndentString(indentString);
}

ostring XMLDoc::toString(const bool& withEncoding) const {
    return ostring(dumpBytes(withEncoding).c_str());
}

std::string XMLDoc::dumpBytes(const bool& withEncoding) const {
    applySaveSettings();
    XMLErrorScope scope;
    xmlChar* buffer = nullptr;
    int size = 0;
    if (withEncoding) {
        xmlDocDumpFormatMemoryEnc(document, &buffer, &size, encoding.str().c_str(), 1);
        if (scope.failed()) {
            xmlFree(buffer);
            scope.check();
        }
    }
    if (buffer == nullptr) {
        xmlDocDumpFormatMemory(document, &buffer, &size, 1);
        if (scope.failed()) {
            xmlFree(buffer);
            scope.check();
        }
    }
    return takeBuffer(buffer, size);
}

ostring XMLDoc::toHTMLString(const bool& flag) const {
    applySaveSettings();
    XMLErrorScope scope;
    xmlChar* buffer = nullptr;
    int size = 0;
    if (flag) {
        htmlDocDumpMemory(document, &buffer, &size);
        if (scope.failed()) {
            xmlFree(buffer);
            scope.check();
        }
    }
    if (buffer == nullptr) {
        htmlDocDumpMemoryFormat(document, &buffer, &size, 1);
        if (scope.failed()) {
            xmlFree(buffer);
            scope.check();
        }
    }
    return ostring(takeBuffer(buffer, size).c_str());
}

std::string XMLDoc::saveBytes(const bool& withEncoding) const {
    const xmlNode* root = xmlDocGetRootElement(document);
    if (root == nullptr || root->name == nullptr || root->name[0] == '\0') {
        fail("The document has no root element to save.", fileName, Exception::SEVERE);
    }
    return dumpBytes(withEncoding);
}

bool XMLDoc::save(const ostring& path, const bool& withEncoding) {
    if (path != ostring("")) {
        fileName = path;
    }
    const std::string target = FileSystemPath::toNative(fileName);
    if (target.empty()) {
        return false;
    }
    // Nothing is written that could not be loaded again. Without the encoding named, libxml2
    // writes the one the document was read in.
    const char* read = reinterpret_cast<const char*>(document->encoding);
    if (!XMLTree::loadsAgain(document,
                             withEncoding ? encoding.str() : std::string(read == nullptr ? "" : read))) {
        return false;
    }
    std::string bytes;
    try {
        bytes = saveBytes(withEncoding);
    } catch (const XMLException&) {
        return false; // an encoding libxml2 cannot write, say: the old file stays as it was
    }
    return AtomicFile::write(fileName, bytes);
}

XSLTSheet XMLDoc::castToXSLTSheet() const {
    return XSLTSheet(fileName);
}

// ---- value helpers ----

bool XMLDoc::castBoolean(const ostring& text) {
    if (text.isInt()) {
        std::istringstream in(text.str());
        int value = 0;
        in >> value;
        return value != 0;
    }
    return ci_eq(text, ostring("true"));
}

ostring XMLDoc::dateToString(const wxDateTime& date, const bool& withTime, const bool& withMilliseconds,
                             const bool& withTimezone) {
    if (!date.IsValid()) {
        return ostring();
    }
    const wxDateTime::Tm tm = date.GetTm(wxDateTime::TimeZone(wxDateTime::Local));
    std::ostringstream out;
    out << std::setfill('0') << std::setw(4) << tm.year << "-" << std::setw(2)
        << (static_cast<int>(tm.mon) + 1) << "-" << std::setw(2) << static_cast<int>(tm.mday);
    if (withTime) {
        out << "T" << std::setw(2) << static_cast<int>(tm.hour) << ":" << std::setw(2)
            << static_cast<int>(tm.min) << ":" << std::setw(2) << static_cast<int>(tm.sec);
        if (withMilliseconds) {
            out << "." << std::setw(3) << static_cast<int>(tm.msec);
        }
    }
    if (withTimezone) {
        out << HelperFuncs::formatTimezone(date, ostring(":")).str();
    }
    return ostring(out.str(), Defines::appEncoding());
}

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

} // namespace

wxDateTime XMLDoc::stringToDate(const ostring& text) {
    ostring trimmed = text;
    trimmed.trim(ostring(" \r\n\t"));
    std::vector<ostring> tokens = trimmed.tokenize(ostring(" "), true);
    // At offset zero the zone follows the time without a blank ("...T12:00:00+00:00").
    if (tokens.size() == 1) {
        const std::string whole = tokens[0].str();
        const size_t time = whole.find('T');
        const size_t sign = time == std::string::npos ? std::string::npos : whole.find_first_of("+-", time);
        if (sign != std::string::npos) {
            tokens = {ostring(whole.substr(0, sign).c_str()), ostring(whole.substr(sign).c_str())};
        }
    }
    if (tokens.empty()) {
        return wxDateTime();
    }
    unsigned int fields[7] = {1970, 1, 1, 0, 0, 0, 0};
    const std::vector<ostring> separators = {ostring("-"), ostring("T"), ostring(":"), ostring(".")};
    const std::vector<ostring> parts = tokens[0].tokenize(separators, true);
    for (size_t i = 0; i < parts.size() && i < 7; ++i) {
        std::istringstream in(parts[i].str());
        unsigned int value = 0;
        if (in >> value) {
            fields[i] = value;
        }
    }
    const unsigned year = fields[0], month = fields[1], day = fields[2];
    if (year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > static_cast<unsigned>(wxDateTime::GetNumberOfDays(static_cast<wxDateTime::Month>(month - 1),
                                                                static_cast<int>(year))) ||
        fields[3] > 23 || fields[4] > 59 || fields[5] > 59 || fields[6] > 999) {
        return wxDateTime();
    }
    if (tokens.size() != 2) {
        return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(day),
                          static_cast<wxDateTime::Month>(month - 1), static_cast<int>(year),
                          static_cast<wxDateTime::wxDateTime_t>(fields[3]),
                          static_cast<wxDateTime::wxDateTime_t>(fields[4]),
                          static_cast<wxDateTime::wxDateTime_t>(fields[5]),
                          static_cast<wxDateTime::wxDateTime_t>(fields[6]));
    }
    // The fields are the local time of the written zone: UTC = fields - offset.
    const std::vector<ostring> zone = tokens[1].tokenize(ostring(":"), true);
    long hours = 0, minutes = 0;
    bool negative = false;
    if (!zone.empty()) {
        std::string h = zone[0].str();
        negative = !h.empty() && h[0] == '-';
        std::istringstream in(h);
        in >> hours;
        if (zone.size() > 1) {
            std::istringstream inMinutes(zone[1].str());
            inMinutes >> minutes;
        }
    }
    const long long offsetMinutes =
        (negative ? -1 : 1) *
        (static_cast<long long>(hours < 0 ? -hours : hours) * 60 + (minutes < 0 ? -minutes : minutes));
    const long long seconds = daysFromCivil(year, month, day) * 86400LL + fields[3] * 3600LL +
                              fields[4] * 60LL + fields[5] - offsetMinutes * 60LL;
    return wxDateTime(wxLongLong(seconds * 1000LL + fields[6]));
}

// ---- library set-up and error hooks ----

void XMLDoc::initLib() {
    xmlCheckVersion(20623);
    xmlInitParser();
    XMLErrorScope::installHooks();
    XSLTSheet::setDebugMode(false);
}

void XMLDoc::releaseLib() {
    xmlCleanupParser();
    xmlMemoryDump();
}

void XMLDoc::handleGenericError(void* /*context*/, const char* format, ...) {
    char buffer[4000];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    buffer[sizeof(buffer) - 1] = '\0';
    XMLErrorScope::record(ostring(buffer));
}

void XMLDoc::handleStructuredError(void* /*context*/, xmlError* error) {
    if (error == nullptr) {
        return;
    }
    std::ostringstream out;
    if (error->file != nullptr) {
        // The file as the caller named it, not the bytes libxml2 was given.
        out << FileSystemPath::fromNative(error->file).str();
        if (error->line != 0) {
            out << "@" << error->line;
        }
        if (error->int2 != 0) {
            out << "," << error->int2;
        }
        out << ": ";
    }
    if (error->message != nullptr) {
        std::string message = error->message;
        // An unreadable file is named inside the text ("failed to load external entity").
        for (const char* name : {error->file, error->str1}) {
            if (name != nullptr) {
                replaceAll(message, name, FileSystemPath::fromNative(name).str());
            }
        }
        out << message;
    }
    out << "\n";
    XMLErrorScope::record(ostring(out.str(), Defines::appEncoding()));
}

// ---- stream helpers ----

std::wostream& operator<<(std::wostream& os, const XMLDoc& doc) {
    return Strings::operator<<(os, doc.toString(true));
}

ostring operator+(const ostring& text, const XMLDoc& doc) {
    return text + doc.toString(true);
}

} // namespace XML
} // namespace PBN
