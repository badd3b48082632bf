#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XSLTParam.h"

#include <vector>

struct _xsltStylesheet;

namespace PBN {
namespace XML {

class XMLDoc;

// An XSLT style sheet kept as a file name plus an ordered list of parameters. The file is read
// anew by every transformation, so edits to it are picked up without rebuilding the object.
class PBN_API XSLTSheet {
public:
    explicit XSLTSheet(const Strings::ostring& fileName);
    XSLTSheet(const XSLTSheet& other);
    XSLTSheet& operator=(const XSLTSheet& other);
    virtual ~XSLTSheet();

    const Strings::ostring& getFileName() const { return fileName; }

    // Inserts before the parameter at `position` when it exists, else appends.
    void addParam(const Strings::ostring& name, const Strings::ostring& value, const int& position = -1);
    void removeParam(const unsigned int& index);
    void clearParams();
    unsigned int getParamsCount() const;
    // Out-of-range indexes and unknown names give a null parameter; names ignore case.
    XSLTParam getParamAt(const unsigned int& index) const;
    XSLTParam getParam(const Strings::ostring& name) const;
    Strings::ostring getParamNameAt(const unsigned int& index) const;
    Strings::ostring getParamValueAt(const unsigned int& index) const;
    void setParamNameAt(const unsigned int& index, const Strings::ostring& name);
    void setParamValueAt(const unsigned int& index, const Strings::ostring& value);
    void setParamValue(const Strings::ostring& name, const Strings::ostring& value);

    // The result of the transformation. Parameter values go to the processor as XPath
    // expressions, unquoted. An unreadable sheet, or a transformation that produces nothing,
    // gives an empty document. Throws XMLException (SEVERE) with the processor's first message
    // when debug mode is off; the output is always the XML tree, whatever xsl:output says.
    XMLDoc process(const XMLDoc& doc) const;
    // Loads `path` with blanks kept, then as above; load errors pass through as XMLException.
    XMLDoc process(const Strings::ostring& path) const;

    // Runs one transformation with debug mode on and returns what the processor reported.
    Strings::ostring debug(const XMLDoc& doc) const;
    // With "": only parses the sheet, and leaves debug mode ON (callers then read
    // getDebugReport() and switch it off themselves). Otherwise loads the file and runs debug(doc).
    Strings::ostring debug(const Strings::ostring& path) const;
    static Strings::ostring getDebugReport();
    // On: processor errors and debug output are collected into the report (emptied now) instead of
    // being thrown. Off: errors throw XMLException again. Process-wide.
    static void setDebugMode(const bool& on);

    // The sheet file itself as an ordinary document.
    XMLDoc castToDoc(const bool& keepBlanks) const;

    bool operator==(const XSLTSheet& other) const;
    bool operator!=(const XSLTSheet& other) const;
    // Same file, same number of parameters, pairwise equal names.
    bool equals(const XSLTSheet& other) const;

protected:
    XSLTSheet();

    _xsltStylesheet* parseSheet() const;
    static void releaseSheet(_xsltStylesheet* sheet);
    XMLDoc applySheet(_xsltStylesheet* sheet, const XMLDoc& doc) const;

    static void debuggerInfo(void* context, const char* format, ...);
    static void debuggerError(void* context, const char* format, ...);

private:
    Strings::ostring fileName;
    std::vector<XSLTParam> params;

    static Strings::ostring _debugReport;
};

} // namespace XML
} // namespace PBN
