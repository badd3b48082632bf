// ostring against the C calls it stands for, at 16 B, 1 KiB and 1 MiB
//  - narrow -> wide (wstr) and wide -> narrow (str) against g_convert ISO-8859-1 <-> WCHAR_T,
//    which maps byte b to U+00b exactly as ostring does;
//  - charset conversion (get / set through "CHAR" = CP1252) against g_convert CP1252 <-> UTF-8;
//  - ci_eq against strcasecmp on texts that differ only in case (a full scan);
//  - glob against fnmatch, pattern "*-M" (the camera model's sensor test) and "*a?c*-M".
#include "pemblon/strings/ostring.h"

#include <benchmark/benchmark.h>
#include <fnmatch.h>
#include <glib.h>
#include <strings.h>

#include <random>
#include <string>

using PBN::Strings::ostring;

namespace {

// Mixed CP1252 text: letters, digits, blanks and accented letters, no NUL, no undefined byte.
std::string cp1252Text(size_t n, unsigned seed = 1) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ,.;"
                                   "\xE0\xE9\xE8\xEA\xE7\xF4\xFB\xC9\x80";
    std::mt19937 gen(seed);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    std::string s(n, ' ');
    for (char& c : s)
        c = alphabet[pick(gen)];
    return s;
}

std::string asciiLetters(size_t n, unsigned seed = 2) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> pick(0, 25);
    std::string s(n, 'a');
    for (char& c : s)
        c = static_cast<char>('a' + pick(gen));
    return s;
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(16)->Arg(1024)->Arg(1 << 20);
}

// Narrow -> wide.
void BM_Wstr(benchmark::State& st) {
    const ostring s(cp1252Text(st.range(0)).c_str());
    for (auto _ : st) {
        std::wstring w = s.wstr();
        benchmark::DoNotOptimize(w.data());
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_GConvertToWchar(benchmark::State& st) {
    const std::string s = cp1252Text(st.range(0));
    for (auto _ : st) {
        gsize written = 0;
        gchar* out = g_convert(s.data(), s.size(), "WCHAR_T", "ISO-8859-1", nullptr, &written, nullptr);
        benchmark::DoNotOptimize(out);
        g_free(out);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

// Wide -> narrow.
void BM_Str(benchmark::State& st) {
    const ostring w(ostring(cp1252Text(st.range(0)).c_str()).wstr());
    for (auto _ : st) {
        std::string n = w.str();
        benchmark::DoNotOptimize(n.data());
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_GConvertFromWchar(benchmark::State& st) {
    const std::wstring w = ostring(cp1252Text(st.range(0)).c_str()).wstr();
    for (auto _ : st) {
        gsize written = 0;
        gchar* out = g_convert(reinterpret_cast<const gchar*>(w.data()), w.size() * sizeof(wchar_t),
                               "ISO-8859-1", "WCHAR_T", nullptr, &written, nullptr);
        benchmark::DoNotOptimize(out);
        g_free(out);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

// Charset conversion: application charset -> UTF-8 and back.
void BM_OstringGetUtf8(benchmark::State& st) {
    const ostring s(cp1252Text(st.range(0)).c_str());
    const ostring utf8("UTF-8");
    for (auto _ : st) {
        std::string u = s.get(utf8);
        benchmark::DoNotOptimize(u.data());
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_GConvertCp1252ToUtf8(benchmark::State& st) {
    const std::string s = cp1252Text(st.range(0));
    for (auto _ : st) {
        gsize written = 0;
        gchar* out = g_convert(s.data(), s.size(), "UTF-8", "CP1252", nullptr, &written, nullptr);
        benchmark::DoNotOptimize(out);
        g_free(out);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_OstringSetUtf8(benchmark::State& st) {
    const ostring src(cp1252Text(st.range(0)).c_str());
    const std::string u = src.get("UTF-8");
    const ostring utf8("UTF-8");
    ostring s;
    for (auto _ : st) {
        s.set(u, utf8);
        benchmark::DoNotOptimize(&s);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_GConvertUtf8ToCp1252(benchmark::State& st) {
    const std::string u = ostring(cp1252Text(st.range(0)).c_str()).get("UTF-8");
    for (auto _ : st) {
        gsize written = 0;
        gchar* out = g_convert(u.data(), u.size(), "CP1252", "UTF-8", nullptr, &written, nullptr);
        benchmark::DoNotOptimize(out);
        g_free(out);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

// Case-insensitive comparison of two texts that differ only in case.
void BM_CiEq(benchmark::State& st) {
    const std::string a = asciiLetters(st.range(0));
    std::string b = a;
    for (size_t i = 0; i < b.size(); i += 2)
        b[i] = static_cast<char>(b[i] - 32);
    const ostring x(a.c_str()), y(b.c_str());
    for (auto _ : st)
        benchmark::DoNotOptimize(x.ci_eq(y));
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
void BM_Strcasecmp(benchmark::State& st) {
    const std::string a = asciiLetters(st.range(0));
    std::string b = a;
    for (size_t i = 0; i < b.size(); i += 2)
        b[i] = static_cast<char>(b[i] - 32);
    for (auto _ : st)
        benchmark::DoNotOptimize(strcasecmp(a.c_str(), b.c_str()));
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

// Wildcards: a sensor-name test over a long text.
template <int Which> const char* pattern() {
    return Which == 0 ? "*-M" : "*a?c*-M";
}
template <int Which> void BM_Glob(benchmark::State& st) {
    const std::string t = asciiLetters(st.range(0) - 2) + "-M";
    const ostring text(t.c_str()), pat(pattern<Which>());
    for (auto _ : st)
        benchmark::DoNotOptimize(text.glob(pat));
    st.SetBytesProcessed(st.iterations() * st.range(0));
}
template <int Which> void BM_Fnmatch(benchmark::State& st) {
    const std::string t = asciiLetters(st.range(0) - 2) + "-M";
    for (auto _ : st)
        benchmark::DoNotOptimize(fnmatch(pattern<Which>(), t.c_str(), 0));
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

// In-place number append, building a text of the given size from 6-byte pieces; the
// append keeps the design's NUL rule, so each call scans the narrow target once (memchr).
void BM_AppendNumbers(benchmark::State& st) {
    const size_t target = static_cast<size_t>(st.range(0));
    for (auto _ : st) {
        ostring s;
        for (size_t n = 0; n < target; n += 6)
            s << 12345 << ostring(",");
        benchmark::DoNotOptimize(&s);
    }
    st.SetBytesProcessed(st.iterations() * st.range(0));
}

} // namespace

BENCHMARK(BM_AppendNumbers)->Arg(1024)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(BM_Wstr)->Apply(sizes);
BENCHMARK(BM_GConvertToWchar)->Apply(sizes);
BENCHMARK(BM_Str)->Apply(sizes);
BENCHMARK(BM_GConvertFromWchar)->Apply(sizes);
BENCHMARK(BM_OstringGetUtf8)->Apply(sizes);
BENCHMARK(BM_GConvertCp1252ToUtf8)->Apply(sizes);
BENCHMARK(BM_OstringSetUtf8)->Apply(sizes);
BENCHMARK(BM_GConvertUtf8ToCp1252)->Apply(sizes);
BENCHMARK(BM_CiEq)->Apply(sizes);
BENCHMARK(BM_Strcasecmp)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Glob, 0)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Fnmatch, 0)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Glob, 1)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Fnmatch, 1)->Apply(sizes);

BENCHMARK_MAIN();
