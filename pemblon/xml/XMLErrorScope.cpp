#include "pemblon/xml/XMLErrorScope.h"

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"

#include <string>

#include <libxml/globals.h>
#include <libxml/xmlerror.h>

namespace PBN {
namespace XML {

namespace {

struct Collector {
    int depth = 0;
    bool recorded = false;
    std::string text;
};

thread_local Collector collector;

} // namespace

XMLErrorScope::XMLErrorScope() {
    installHooks();
    if (collector.depth++ == 0) {
        collector.recorded = false;
        collector.text.clear();
    }
}

XMLErrorScope::~XMLErrorScope() {
    --collector.depth;
}

bool XMLErrorScope::failed() const {
    return collector.recorded;
}

Strings::ostring XMLErrorScope::message() const {
    return Strings::ostring(collector.text.c_str());
}

void XMLErrorScope::clear() {
    collector.recorded = false;
    collector.text.clear();
}

void XMLErrorScope::check() {
    if (!collector.recorded) {
        return;
    }
    Strings::ostring text(collector.text.c_str());
    clear();
    throw XMLException(text, Exception::SEVERE);
}

void XMLErrorScope::record(const Strings::ostring& text) {
    if (collector.recorded) {
        return;
    }
    collector.recorded = true;
    collector.text = text.str();
}

void XMLErrorScope::installHooks() {
    // libxml2 keeps its handlers per thread; set them here for this thread and as the default of
    // threads that start later, so that no parse anywhere is silently "recovered".
    xmlSetGenericErrorFunc(nullptr, &XMLDoc::handleGenericError);
    xmlSetStructuredErrorFunc(nullptr, &XMLDoc::handleStructuredError);
    static const bool threadDefaults = [] {
        xmlThrDefSetGenericErrorFunc(nullptr, &XMLDoc::handleGenericError);
        xmlThrDefSetStructuredErrorFunc(nullptr, &XMLDoc::handleStructuredError);
        return true;
    }();
    (void)threadDefaults;
}

} // namespace XML
} // namespace PBN
