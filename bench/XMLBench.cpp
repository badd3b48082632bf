// Loading a 10 MB settings-like document and visiting every element: through XMLDoc and XMLNode,
// and through the same libxml2 calls made directly. The handle layer should stay within 1.2x.

#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLNode.h"

#include <cstdio>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/xinclude.h>
#include <unistd.h>

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLNode;

namespace {

constexpr int options = XML_PARSE_RECOVER | XML_PARSE_DTDLOAD | XML_PARSE_PEDANTIC | XML_PARSE_XINCLUDE |
                        XML_PARSE_NOCDATA | XML_PARSE_NOXINCNODE | XML_PARSE_NOBLANKS;

const std::string& documentPath() {
    static const std::string path = [] {
        std::string p = "/tmp/pemblon_xml_bench_" + std::to_string(getpid()) + ".xml";
        std::ofstream out(p, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config version=\"1.0\">\n";
        size_t written = 0;
        for (int i = 0; written < 10u * 1024 * 1024; ++i) {
            std::string group = "  <camera id=\"" + std::to_string(i) + "\" model=\"ZK-" +
                                std::to_string(i % 97) + "\">\n    <exposure unit=\"us\">" +
                                std::to_string(i * 7 % 10000) + "</exposure>\n    <gain>" +
                                std::to_string(i % 24) + "</gain>\n    <name>Caméra n° " + std::to_string(i) +
                                "</name>\n    <roi x=\"0\" y=\"0\" w=\"1280\" h=\"1024\"/>\n  </camera>\n";
            out << group;
            written += group.size();
        }
        out << "</config>\n";
        return p;
    }();
    return path;
}

size_t walkHandles(const XMLNode& node) {
    size_t count = 1;
    benchmark::DoNotOptimize(node.getName());
    for (XMLNode c = node.getFirstChild(); !c.isNull(); c = c.getSibling()) {
        count += walkHandles(c);
    }
    return count;
}

size_t walkRaw(const xmlNode* node) {
    size_t count = 1;
    for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) {
            benchmark::DoNotOptimize(c->name);
            count += walkRaw(c);
        }
    }
    return count;
}

void LoadAndWalkXMLNode(benchmark::State& state) {
    const ostring path(documentPath().c_str());
    size_t elements = 0;
    for (auto _ : state) {
        XMLDoc doc(path, false, false);
        elements = walkHandles(doc.getRoot());
        benchmark::DoNotOptimize(elements);
    }
    state.counters["elements"] = static_cast<double>(elements);
}

void LoadAndWalkRawLibxml2(benchmark::State& state) {
    const std::string path = documentPath();
    size_t elements = 0;
    for (auto _ : state) {
        xmlLineNumbersDefault(1);
        xmlDoc* doc = xmlReadFile(path.c_str(), nullptr, options);
        xmlXIncludeProcessFlags(doc, options);
        elements = walkRaw(xmlDocGetRootElement(doc));
        benchmark::DoNotOptimize(elements);
        xmlFreeDoc(doc);
    }
    state.counters["elements"] = static_cast<double>(elements);
}

BENCHMARK(LoadAndWalkXMLNode)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadAndWalkRawLibxml2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    XMLDoc::initLib();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(documentPath().c_str());
    XMLDoc::releaseLib();
    return 0;
}
