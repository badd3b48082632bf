// libFuzzer target: arbitrary bytes loaded as a document from memory, then walked, edited and
// serialised through the handles. External resources are refused, so no input reads a file or
// the network.

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLErrorScope.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNode.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLException;
using PBN::XML::XMLNode;

namespace {

xmlParserInput* refuseEntity(const char* /*url*/, const char* /*id*/, xmlParserCtxt* /*context*/) {
    return nullptr;
}

xmlParserInputBuffer* refuseFile(const char* /*uri*/, xmlCharEncoding /*encoding*/) {
    return nullptr;
}

void walk(const XMLNode& node, int depth) {
    if (depth > 64) {
        return;
    }
    node.getName();
    node.getText();
    for (unsigned i = 0; i < node.getAttributesCount(); ++i) {
        node.getAttributeAt(i).getValue();
    }
    for (XMLNode c = node.getFirstChild(); !c.isNull(); c = c.getSibling()) {
        walk(c, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    xmlInitParser();
    xmlSetExternalEntityLoader(refuseEntity);
    xmlParserInputBufferCreateFilenameDefault(refuseFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    XMLNode detached;
    try {
        XMLDoc doc(true, ostring(text.c_str()), size % 2 == 0, size % 3 == 0, ostring("fuzz.xml"));
        XMLNode root = doc.getRoot();
        walk(root, 0);
        doc.toString(true);
        XMLDoc copy(doc);
        copy.removeBlanks();
        copy.indent(true);
        copy.toString(false);
        detached = root.getFirstChild();
        detached.detach();
        root.castToMixedNode().addText(ostring("t"), 0);
        XMLNode fragment = XMLNode::fromString(root.toString(false));
        walk(fragment, 0);
        fragment.destroy();
    } catch (const XMLException&) {
    }
    // The detached node must outlive its document.
    if (!detached.isNull()) {
        walk(detached, 0);
        try {
            detached.toString(false);
        } catch (const XMLException&) {
        }
        XMLDoc other;
        XMLNode root = other.getRoot();
        root.attach(detached, -1);
        try {
            other.toString(true);
        } catch (const XMLException&) {
        }
    }
    return 0;
}
