#include "pemblon/xml/XSLTSheet.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/FileSystemPath.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLTree.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include <libxml/parser.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

namespace PBN {
namespace XML {

using Strings::ostring;

ostring XSLTSheet::_debugReport;

namespace {

// Debug mode must not outlive a transformation that throws.
struct DebugModeOn {
    DebugModeOn() { XSLTSheet::setDebugMode(true); }
    ~DebugModeOn() { XSLTSheet::setDebugMode(false); }
};

ostring formatReport(const char* format, va_list args) {
    char buffer[4001];
    std::vsnprintf(buffer, sizeof(buffer), format ? format : "", args);
    return ostring(buffer);
}

} // namespace

XSLTSheet::XSLTSheet() = default;
XSLTSheet::XSLTSheet(const ostring& fileName_) : fileName(fileName_) {}
XSLTSheet::XSLTSheet(const XSLTSheet& other) = default;
XSLTSheet& XSLTSheet::operator=(const XSLTSheet& other) = default;
XSLTSheet::~XSLTSheet() = default;

void XSLTSheet::addParam(const ostring& name, const ostring& value, const int& position) {
    if (position >= 0 && static_cast<size_t>(position) < params.size())
        params.insert(params.begin() + position, XSLTParam(name, value));
    else
        params.push_back(XSLTParam(name, value));
}

void XSLTSheet::removeParam(const unsigned int& index) {
    if (index < params.size())
        params.erase(params.begin() + index);
}

void XSLTSheet::clearParams() {
    params.clear();
}

unsigned int XSLTSheet::getParamsCount() const {
    return static_cast<unsigned int>(params.size());
}

XSLTParam XSLTSheet::getParamAt(const unsigned int& index) const {
    return index < params.size() ? params[index] : XSLTParam();
}

XSLTParam XSLTSheet::getParam(const ostring& name) const {
    for (const XSLTParam& p : params)
        if (p.getName().ci_eq(name))
            return p;
    return XSLTParam();
}

ostring XSLTSheet::getParamNameAt(const unsigned int& index) const {
    return getParamAt(index).getName();
}

ostring XSLTSheet::getParamValueAt(const unsigned int& index) const {
    return getParamAt(index).getValue();
}

void XSLTSheet::setParamNameAt(const unsigned int& index, const ostring& name) {
    if (index < params.size())
        params[index].setName(name);
}

void XSLTSheet::setParamValueAt(const unsigned int& index, const ostring& value) {
    if (index < params.size())
        params[index].setValue(value);
}

void XSLTSheet::setParamValue(const ostring& name, const ostring& value) {
    for (XSLTParam& p : params)
        if (p.getName().ci_eq(name)) {
            p.setValue(value);
            return;
        }
}

xsltStylesheet* XSLTSheet::parseSheet() const {
    xmlSubstituteEntitiesDefault(1);
    xmlLoadExtDtdDefaultValue = 1;
    const std::string file = FileSystemPath::toNative(fileName);
    return xsltParseStylesheetFile(reinterpret_cast<const xmlChar*>(file.c_str()));
}

void XSLTSheet::releaseSheet(xsltStylesheet* sheet) {
    if (sheet)
        xsltFreeStylesheet(sheet);
    xsltCleanupGlobals();
}

XMLDoc XSLTSheet::applySheet(xsltStylesheet* sheet, const XMLDoc& doc) const {
    if (!sheet)
        return XMLDoc();
    std::vector<std::string> texts;
    texts.reserve(2 * params.size());
    // libxslt reads every string as UTF-8; text in the application charset would leave bytes in
    // the result that it can no longer serialise.
    for (const XSLTParam& p : params) {
        texts.push_back(XMLTree::toUtf8(p.getName()));
        texts.push_back(XMLTree::toUtf8(p.getValue()));
    }
    std::vector<const char*> array;
    for (const std::string& t : texts)
        array.push_back(t.c_str());
    array.push_back(nullptr);
    xmlDoc* result = xsltApplyStylesheet(sheet, doc.getNative(), array.data());
    // Debug mode, a run-time error or xsl:message terminate="yes" leave no result.
    if (!result)
        return XMLDoc();
    return XMLDoc(result);
}

XMLDoc XSLTSheet::process(const XMLDoc& doc) const {
    XMLErrorScope scope;
    xsltStylesheet* sheet = parseSheet();
    struct Release {
        xsltStylesheet* sheet;
        ~Release() { releaseSheet(sheet); }
    };
    XMLDoc result = [&] {
        Release release{sheet};
        return applySheet(sheet, doc);
    }();
    // Reports are thrown only now that libxslt has returned and freed what it built.
    scope.check();
    return result;
}

XMLDoc XSLTSheet::process(const ostring& path) const {
    return process(XMLDoc(path, true, false));
}

ostring XSLTSheet::debug(const XMLDoc& doc) const {
    {
        DebugModeOn on;
        process(doc);
    }
    return _debugReport;
}

ostring XSLTSheet::debug(const ostring& path) const {
    if (path.size() > 0)
        return debug(XMLDoc(path, true, false));
    setDebugMode(true);
    XMLErrorScope scope;
    releaseSheet(parseSheet());
    scope.check();
    return _debugReport;
}

ostring XSLTSheet::getDebugReport() {
    return _debugReport;
}

void XSLTSheet::setDebugMode(const bool& on) {
    if (on) {
        _debugReport = ostring();
        xsltSetGenericErrorFunc(nullptr, &XSLTSheet::debuggerError);
        xsltSetGenericDebugFunc(nullptr, &XSLTSheet::debuggerInfo);
    } else {
        xsltSetGenericErrorFunc(nullptr, &XMLDoc::handleGenericError);
        xsltSetGenericDebugFunc(nullptr, nullptr);
    }
}

void XSLTSheet::debuggerInfo(void*, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const ostring text = formatReport(format, args);
    va_end(args);
    _debugReport += ostring("I: ") + text;
}

void XSLTSheet::debuggerError(void*, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const ostring text = formatReport(format, args);
    va_end(args);
    _debugReport += ostring("E: ") + text;
}

XMLDoc XSLTSheet::castToDoc(const bool& keepBlanks) const {
    return XMLDoc(fileName, keepBlanks, false);
}

bool XSLTSheet::operator==(const XSLTSheet& other) const {
    return fileName == other.fileName;
}

bool XSLTSheet::operator!=(const XSLTSheet& other) const {
    return !(*this == other);
}

bool XSLTSheet::equals(const XSLTSheet& other) const {
    if (params.size() != other.params.size() || fileName != other.fileName)
        return false;
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i] != other.params[i])
            return false;
    return true;
}

} // namespace XML
} // namespace PBN
