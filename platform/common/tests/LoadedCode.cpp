#include "platform/common/tests/LoadedCode.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <elf.h>
#include <link.h>

namespace zeko::test {

namespace {

struct Range {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};

// Plain storage, filled before any thread runs and read only after.
Range libraries[5];
// The program's exported functions, sorted by start (the race runtime exports about 2,100).
Range exported[8192];
std::size_t exportedCount = 0;
bool read = false;

std::uintptr_t absolute(std::uintptr_t base, std::uintptr_t address) {
    // The dynamic linker relocates the dynamic section's addresses in place on most targets.
    return address < base ? address + base : address;
}

std::size_t symbolCount(std::uintptr_t base, const ElfW(Dyn) * dynamic) {
    const std::uint32_t* hash = nullptr;
    const std::uint32_t* gnuHash = nullptr;
    for (const ElfW(Dyn)* entry = dynamic; entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag == DT_HASH)
            hash = reinterpret_cast<const std::uint32_t*>(absolute(base, entry->d_un.d_ptr));
        else if (entry->d_tag == DT_GNU_HASH)
            gnuHash = reinterpret_cast<const std::uint32_t*>(absolute(base, entry->d_un.d_ptr));
    }
    if (hash)
        return hash[1];
    if (!gnuHash)
        return 0;
    // GNU hash: the highest symbol a bucket starts, then its chain to the entry marked last.
    const std::uint32_t buckets = gnuHash[0], first = gnuHash[1], bloomWords = gnuHash[2];
    const auto* bucket =
        reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const ElfW(Addr)*>(gnuHash + 4) + bloomWords);
    const std::uint32_t* chain = bucket + buckets;
    std::uint32_t last = 0;
    for (std::uint32_t i = 0; i < buckets; ++i)
        last = std::max(last, bucket[i]);
    if (last < first)
        return first;
    while ((chain[last - first] & 1) == 0)
        ++last;
    return last + 1;
}

void readExported(const dl_phdr_info* info, const ElfW(Dyn) * dynamic) {
    const std::uintptr_t base = info->dlpi_addr;
    const ElfW(Sym)* symbols = nullptr;
    for (const ElfW(Dyn)* entry = dynamic; entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag == DT_SYMTAB)
            symbols = reinterpret_cast<const ElfW(Sym)*>(absolute(base, entry->d_un.d_ptr));
    }
    if (!symbols)
        return;
    const std::size_t count = symbolCount(base, dynamic);
    for (std::size_t i = 0; i < count && exportedCount < std::size(exported); ++i) {
        const ElfW(Sym)& symbol = symbols[i];
        const int type = ELF64_ST_TYPE(symbol.st_info);
        if ((type != STT_FUNC && type != STT_GNU_IFUNC) || symbol.st_shndx == SHN_UNDEF ||
            symbol.st_size == 0)
            continue;
        exported[exportedCount++] = {base + symbol.st_value, base + symbol.st_value + symbol.st_size};
    }
    std::sort(exported, exported + exportedCount,
              [](const Range& a, const Range& b) { return a.start < b.start; });
}

// The libraries told apart, by the names the dynamic linker loaded them under.
const struct {
    const char* name;
    Library library;
} named[] = {{"/libglib-2.0.so", Library::GLib},
             {"/libgobject-2.0.so", Library::GObject},
             {"/libgio-2.0.so", Library::Gio},
             {"/libgtk-3.so", Library::Gtk},
             {"/libgdk-3.so", Library::Gdk}};

int readObject(dl_phdr_info* info, std::size_t, void* first) {
    // The first object listed is the program: its exported functions are read.
    if (*static_cast<bool*>(first)) {
        *static_cast<bool*>(first) = false;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
            const ElfW(Phdr)& segment = info->dlpi_phdr[i];
            if (segment.p_type == PT_DYNAMIC)
                readExported(info, reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + segment.p_vaddr));
        }
        return 0;
    }
    const char* name = info->dlpi_name ? info->dlpi_name : "";
    for (const auto& library : named) {
        if (!std::strstr(name, library.name))
            continue;
        Range range{UINTPTR_MAX, 0};
        for (int i = 0; i < info->dlpi_phnum; ++i) {
            const ElfW(Phdr)& segment = info->dlpi_phdr[i];
            if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X)) {
                const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
                range.start = std::min(range.start, start);
                range.end = std::max(range.end, start + segment.p_memsz);
            }
        }
        if (range.end != 0)
            libraries[int(library.library)] = range;
    }
    return 0;
}

} // namespace

void readLoadedCode() {
    static std::atomic_flag once = ATOMIC_FLAG_INIT;
    if (once.test_and_set())
        return;
    bool first = true;
    dl_iterate_phdr(readObject, &first);
    __atomic_store_n(&read, true, __ATOMIC_RELEASE);
}

// The questions are asked inside the race runtime's report: no access in them is checked, and
// they call no function that is (a template's instance could be).
#define ZEKO_UNCHECKED __attribute__((no_sanitize("thread")))

static ZEKO_UNCHECKED bool loadedCodeRead() {
    return __atomic_load_n(&read, __ATOMIC_ACQUIRE);
}

ZEKO_UNCHECKED bool inLibrary(Library library, const void* pc) {
    const auto address = reinterpret_cast<std::uintptr_t>(pc);
    const Range& range = libraries[int(library)];
    return loadedCodeRead() && address >= range.start && address < range.end;
}

ZEKO_UNCHECKED bool inExportedFunction(const void* pc) {
    if (!loadedCodeRead())
        return false;
    const auto address = reinterpret_cast<std::uintptr_t>(pc);
    // The last function starting at or below the address.
    std::size_t low = 0, high = exportedCount;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (exported[middle].start <= address)
            low = middle + 1;
        else
            high = middle;
    }
    return low > 0 && address < exported[low - 1].end;
}

} // namespace zeko::test
