#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <glib.h>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/VersionTree.h"

namespace {

constexpr std::uint32_t kMiB = 1u << 20;

const PBN::ByteArray& payload() {
    static const PBN::ByteArray bytes = [] {
        std::vector<unsigned char> raw(kMiB);
        std::uint32_t x = 12345;
        for (auto& b : raw) {
            x = x * 1103515245u + 12345u;
            b = static_cast<unsigned char>(x >> 16);
        }
        return PBN::ByteArray(raw.data(), kMiB);
    }();
    return bytes;
}

void Base64EncodePemblon(benchmark::State& state) {
    const bool lines = state.range(0) != 0;
    for (auto _ : state) {
        std::unique_ptr<char[]> text(payload().base64Encode(lines));
        benchmark::DoNotOptimize(text.get());
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(Base64EncodePemblon)->Arg(0)->Arg(1);

void Base64EncodeGlib(benchmark::State& state) {
    for (auto _ : state) {
        gchar* text = g_base64_encode(payload().getBuffer(), kMiB);
        benchmark::DoNotOptimize(text);
        g_free(text);
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(Base64EncodeGlib);

void Base64DecodePemblon(benchmark::State& state) {
    std::unique_ptr<char[]> text(payload().base64Encode(state.range(0) != 0));
    const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text.get()));
    for (auto _ : state) {
        PBN::ByteArray out;
        out.base64Decode(text.get(), length);
        benchmark::DoNotOptimize(out.getBuffer());
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(Base64DecodePemblon)->Arg(0)->Arg(1);

void Base64DecodeGlib(benchmark::State& state) {
    gchar* text = g_base64_encode(payload().getBuffer(), kMiB);
    for (auto _ : state) {
        gsize n = 0;
        guchar* out = g_base64_decode(text, &n);
        benchmark::DoNotOptimize(out);
        g_free(out);
    }
    g_free(text);
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(Base64DecodeGlib);

void TypedReadsPemblon(benchmark::State& state) {
    const bool little = state.range(0) != 0;
    const PBN::ByteArray& bytes = payload();
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (std::uint32_t off = 0; off + 4 <= kMiB; off += 4)
            sum += bytes.getUInt(off, little);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(TypedReadsPemblon)->Arg(1)->Arg(0);

void TypedReadsMemcpy(benchmark::State& state) {
    const unsigned char* p = payload().getBuffer();
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (std::uint32_t off = 0; off + 4 <= kMiB; off += 4) {
            std::uint32_t v;
            std::memcpy(&v, p + off, 4);
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCHMARK(TypedReadsMemcpy);

void VersionTreeLookup(benchmark::State& state) {
    using PBN::Strings::ostring;
    using PBN::Strings::Version;
    PBN::Strings::VersionTree tree;
    std::vector<Version> filed;
    for (unsigned major = 0; major < 10; ++major)
        for (unsigned minor = 0; minor < 20; ++minor)
            for (unsigned patch = 0; patch < 10; ++patch) {
                Version v;
                v.branch(major);
                v.branch(minor);
                v.branch(patch);
                tree.add(v, nullptr);
                filed.push_back(v);
            }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree.lookup(filed[i]));
        i = (i + 7919) % filed.size();
    }
}
BENCHMARK(VersionTreeLookup);

} // namespace

BENCHMARK_MAIN();
