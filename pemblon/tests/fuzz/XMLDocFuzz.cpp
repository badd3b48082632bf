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
#include <vector>

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

void collect(const XMLNode& node, std::vector<XMLNode>& out, int depth) {
    if (depth > 64 || out.size() > 256) {
        return;
    }
    out.push_back(node);
    for (XMLNode c = node.getFirstChild(); !c.isNull(); c = c.getSibling()) {
        collect(c, out, depth + 1);
    }
}

template <typename F> void quietly(F f) {
    try {
        f();
    } catch (const XMLException&) {
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    XMLNode detached;
    XMLDoc target(true, ostring("<t><u/></t>"), false, false, ostring("target.xml"));
    try {
        XMLDoc doc(true, ostring(text.c_str()), size % 2 == 0, size % 3 == 0, ostring("fuzz.xml"));
        XMLNode root = doc.getRoot();
        walk(root, 0);
        doc.toString(true);
        XMLDoc copy(doc);
        copy.removeBlanks();
        copy.indent(true);
        copy.toString(false);

        std::vector<XMLNode> elements;
        collect(root, elements, 0);
        // One element leaves the document, one moves inside it, one moves to another document.
        detached = elements[size % elements.size()];
        detached.detach();
        std::vector<XMLNode> rest;
        collect(root, rest, 0);
        if (rest.size() > 1) {
            XMLNode moving = rest[(size / 7) % rest.size()];
            rest[(size / 3) % rest.size()].addChild(moving, static_cast<int>(size % 3) - 1);
            XMLNode leaving = rest[(size / 5) % rest.size()];
            target.getRoot().attach(leaving, 0);
        }
        root.castToMixedNode().addText(ostring("t"), 0);
        XMLNode fragment = XMLNode::fromString(root.toString(false));
        walk(fragment, 0);
        fragment.destroy();
    } catch (const XMLException&) {
    }
    // Whatever left the source document must outlive it.
    walk(target.getRoot(), 0);
    quietly([&] { target.toString(true); });
    if (!detached.isNull()) {
        walk(detached, 0);
        quietly([&] { detached.toString(false); });
        XMLNode root = target.getRoot();
        root.attach(detached, -1);
        quietly([&] { target.toString(true); });
    }
    return 0;
}
