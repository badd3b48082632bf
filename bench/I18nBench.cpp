// SAX: a 10 MB document parsed through SAXHandler (values built, virtuals called, events sent to
// one listener) against libxml2's SAX2 parser with callbacks that do the same conversions: copy
// every name, convert every text run and attribute value from UTF-8 to the application charset.
// Log: 100,000 messages through a Logger that rotates three small generations.

#include "pemblon/core/Defines.h"
#include "pemblon/files/Logger.h"
#include "pemblon/strings/ostring.h"
#include "pemblon/xml/SAXHandler.h"
#include "pemblon/xml/SAXHandlerListener.h"
#include "pemblon/xml/SAXNode.h"
#include "pemblon/xml/XMLDoc.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <libxml/parser.h>
#include <unistd.h>

using PBN::Strings::ostring;

namespace {

const std::filesystem::path& workDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("pbn-i18n-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// About 10 MB of records with attributes, accented text, comments and namespaces.
const std::string& bigFile() {
    static const std::string path = [] {
        const std::string p = (workDir() / "big.xml").string();
        std::ofstream out(p, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<db xmlns:x=\"urn:x\">\n";
        size_t written = 0;
        for (int i = 0; written < 10u * 1024 * 1024; ++i) {
            std::string rec = "  <x:rec id=\"" + std::to_string(i) +
                              "\" name=\"caf\xc3\xa9 na\xc3\xafve\" kind=\"sample\">\n"
                              "    <title>R\xc3\xa9sum\xc3\xa9 number " +
                              std::to_string(i) +
                              "</title>\n    <body>Plain text body with some words in it.</body>\n"
                              "    <!-- note -->\n  </x:rec>\n";
            out << rec;
            written += rec.size();
        }
        out << "</db>\n";
        return p;
    }();
    return path;
}

class CountingHandler : public PBN::XML::SAXHandler, public PBN::XML::SAXHandlerListener {
public:
    size_t events = 0;
    size_t bytes = 0;
    CountingHandler() { addListener(this); }

protected:
    void startElement(PBN::XML::SAXNode& n) override {
        ++events;
        bytes += n.name().size() + n.size();
    }
    void endElement(PBN::XML::SAXNode&) override { ++events; }
    void characters(const ostring& t) override {
        ++events;
        bytes += t.size();
    }
    void comment(const ostring& t) override {
        ++events;
        bytes += t.size();
    }

public:
    void onStartElementEvent(PBN::XML::StartElementEvent&) override { ++bytes; }
};

void BM_SaxHandler(benchmark::State& state) {
    const std::string& path = bigFile();
    size_t events = 0;
    for (auto _ : state) {
        CountingHandler h;
        h.parse(path.c_str());
        events += h.events;
        benchmark::DoNotOptimize(h.bytes);
    }
    state.counters["events/s"] = benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
}

// ---- the same work straight on libxml2 ----

struct RawState {
    size_t events = 0;
    size_t bytes = 0;
};

const ostring& utf8() {
    static const ostring s = PBN::Defines::libxmlEncoding();
    return s;
}
const ostring& app() {
    static const ostring s = PBN::Defines::appEncoding();
    return s;
}

RawState* raw(void* ctx) {
    return static_cast<RawState*>(static_cast<xmlParserCtxt*>(ctx)->_private);
}

void rawStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int nbNs,
              const xmlChar** ns, int nbAttr, int, const xmlChar** attrs) {
    RawState* s = raw(ctx);
    ++s->events;
    std::string name(reinterpret_cast<const char*>(localname));
    std::string p(prefix ? reinterpret_cast<const char*>(prefix) : "");
    std::string u(uri ? reinterpret_cast<const char*>(uri) : "");
    for (int i = 0; i < nbNs; ++i) {
        std::string a(ns[2 * i] ? reinterpret_cast<const char*>(ns[2 * i]) : "");
        std::string b(reinterpret_cast<const char*>(ns[2 * i + 1]));
        s->bytes += a.size() + b.size();
    }
    for (int i = 0; i < nbAttr; ++i) {
        const xmlChar** a = attrs + 5 * i;
        std::string an(reinterpret_cast<const char*>(a[0]));
        std::string value = ostring::convert(
            std::string(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3])), utf8(),
            app());
        s->bytes += an.size() + value.size();
    }
    s->bytes += name.size() + p.size() + u.size();
}

void rawEnd(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*) {
    RawState* s = raw(ctx);
    ++s->events;
    s->bytes += std::string(reinterpret_cast<const char*>(localname)).size();
}

void rawChars(void* ctx, const xmlChar* ch, int len) {
    RawState* s = raw(ctx);
    ++s->events;
    s->bytes += ostring::convert(std::string(reinterpret_cast<const char*>(ch), len), utf8(), app()).size();
}

void rawComment(void* ctx, const xmlChar* value) {
    RawState* s = raw(ctx);
    ++s->events;
    s->bytes += ostring::convert(std::string(reinterpret_cast<const char*>(value)), utf8(), app()).size();
}

void BM_RawLibxml2(benchmark::State& state) {
    const std::string& path = bigFile();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = rawStart;
    sax.endElementNs = rawEnd;
    sax.characters = rawChars;
    sax.comment = rawComment;
    size_t events = 0;
    for (auto _ : state) {
        RawState s;
        xmlSAXParseFileWithData(&sax, path.c_str(), 1, &s);
        events += s.events;
        benchmark::DoNotOptimize(s.bytes);
    }
    state.counters["events/s"] = benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
}

void BM_LogWithRotation(benchmark::State& state) {
    const int64_t entries = state.range(0);
    for (auto _ : state) {
        const std::filesystem::path dir = workDir() / "logs";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        PBN::Files::Logger log(ostring((dir / "bench%g.xml").string().c_str()), 16,
                               PBN::Files::Logger::KILOBYTES, 3);
        for (int64_t i = 0; i < entries; ++i)
            log.info("An ordinary log entry of modest length");
    }
    state.counters["entries/s"] =
        benchmark::Counter(static_cast<double>(entries * state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_SaxHandler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLibxml2)->Unit(benchmark::kMillisecond);
// Each message rewrites its generation through a synced temporary file, so wall time is what counts.
BENCHMARK(BM_LogWithRotation)->Arg(100000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    PBN::XML::XMLDoc::initLib();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(workDir());
    return 0;
}
