#include "pemblon/files/SettingsFile.h"

#include "pemblon/core/AtomicFile.h"
#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/core/FileSystemPath.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"

#include <atomic>

#include <boost/format.hpp>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlstring.h>
#include <wx/translation.h>

namespace PBN {
namespace Files {
namespace Private {

using Strings::ostring;

namespace {

// Adopts a tree parsed here; XMLDoc keeps that constructor for its own family.
class AdoptedDoc : public XML::XMLDoc {
public:
    explicit AdoptedDoc(xmlDoc* tree) : XML::XMLDoc(tree) {}
};

// What one lenient parse saw. Only a prefix that no declaration binds is forgiven: libxml2
// keeps such a name whole ("x:y"), which is exactly what the stores wrote.
struct ParseReport {
    bool fatal = false;
};

thread_local ParseReport* t_report = nullptr;

void collectError(void*, xmlError* error) {
    if (!t_report || !error)
        return;
    if (error->domain == XML_FROM_NAMESPACE && error->code == XML_NS_ERR_UNDEFINED_NAMESPACE)
        return;
    t_report->fatal = true;
}

// The strict loader's options (recover, DTD load, pedantic, no CDATA), blanks kept; never the
// network.
constexpr int kParseOptions =
    XML_PARSE_RECOVER | XML_PARSE_DTDLOAD | XML_PARSE_PEDANTIC | XML_PARSE_NOCDATA | XML_PARSE_NONET;

// Parses a file (data null) or a memory buffer with our own error channel, so that the
// library-wide hooks neither see nor record what this parse reports. Returns the tree, or
// null when anything but an unbound prefix was reported.
xmlDoc* lenientParse(const std::string& fileName, const char* data, size_t size) {
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt)
        return nullptr;
    ctxt->sax->serror = collectError;
    ParseReport report;
    ParseReport* outer = t_report;
    t_report = &report;
    xmlDoc* tree =
        data ? xmlCtxtReadMemory(ctxt, data, static_cast<int>(size), fileName.c_str(), nullptr, kParseOptions)
             : xmlCtxtReadFile(ctxt, fileName.c_str(), nullptr, kParseOptions);
    t_report = outer;
    const bool wellFormed = ctxt->wellFormed != 0;
    xmlFreeParserCtxt(ctxt);
    if (tree && (report.fatal || !wellFormed || !xmlDocGetRootElement(tree))) {
        xmlFreeDoc(tree);
        tree = nullptr;
    }
    return tree;
}

std::atomic<SettingsFile::InterruptHook> g_interruptHook{nullptr};

} // namespace

void SettingsFile::write(const XML::XMLDoc& doc, const ostring& path) {
    const Exception failure(tr("The settings could not be saved to \"%1%\".", path), Exception::SEVERE);
    const std::string target = FileSystemPath::toNative(path);
    if (target.empty())
        throw failure;

    std::string bytes;
    try {
        bytes = doc.saveBytes(true); // exactly what XMLDoc::save writes, NUL bytes included
    } catch (const Exception&) {
        throw failure;
    }
    xmlDoc* check = lenientParse(target, bytes.data(), bytes.size());
    if (!check)
        throw failure;
    xmlFreeDoc(check);

    AtomicFile::BeforeRename beforeRename;
    if (InterruptHook hook = g_interruptHook.load())
        beforeRename = hook;
    if (!AtomicFile::write(path, bytes, nullptr, beforeRename))
        throw failure;
}

std::unique_ptr<XML::XMLDoc> SettingsFile::load(const ostring& path) {
    try {
        return std::make_unique<XML::XMLDoc>(path, true, false);
    } catch (const XML::XMLException&) {
        xmlDoc* tree = lenientParse(FileSystemPath::toNative(path), nullptr, 0);
        if (!tree)
            throw;
        auto doc = std::make_unique<AdoptedDoc>(tree);
        if (tree->encoding)
            doc->setDocEncoding(ostring(reinterpret_cast<const char*>(tree->encoding)));
        return doc;
    }
}

bool SettingsFile::isValidName(const ostring& name) {
    const std::string bytes = name.str();
    if (bytes.empty() || bytes.find('\0') != std::string::npos)
        return false;
    // Names reach libxml2 as their narrow bytes, which it takes for UTF-8: an accented letter
    // ("caf\xe9") would be accepted below, yet make every later save of the document fail.
    if (!xmlCheckUTF8(reinterpret_cast<const unsigned char*>(bytes.c_str())))
        return false;
    if (xmlValidateQName(reinterpret_cast<const xmlChar*>(bytes.c_str()), 0) != 0)
        return false;
    // The prefix "xml" is bound in every document: libxml2 files "xml:lang" under its namespace
    // as "lang", so the name would never be found again.
    return bytes != "xmlns" && bytes.compare(0, 6, "xmlns:") != 0 && bytes.compare(0, 4, "xml:") != 0;
}

ostring SettingsFile::tr(const char* text) {
    return ostring(wxGetTranslation(wxString(text), Defines::name().wxstr()));
}

ostring SettingsFile::tr(const char* text, const ostring& arg) {
    boost::wformat format(tr(text).wstr());
    format % arg.wstr();
    return ostring(format.str());
}

void SettingsFile::setInterruptHook(InterruptHook hook) {
    g_interruptHook = hook;
}

} // namespace Private
} // namespace Files
} // namespace PBN
