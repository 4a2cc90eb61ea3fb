// The writable data of a shared library is its PT_LOAD segments with write permission, less the
// part the loader makes read-only after relocation (PT_GNU_RELRO). Copying it back restores every
// global of the library, the plug-in's static records included. The copies go byte by byte
// outside AddressSanitizer's view: the image spans the redzones between globals by design.
#include "fresh_load.h"

#include <link.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fuzz {

namespace {

struct Range {
    uintptr_t begin;
    uintptr_t end;
    std::vector<unsigned char> image;
};

std::vector<Range> writableRanges;

__attribute__((no_sanitize("address", "undefined"))) void CopyBytes(uintptr_t to, uintptr_t from, size_t count) {
    // volatile keeps the compiler from turning the loop into a (checked) memcpy call
    volatile unsigned char* out = reinterpret_cast<volatile unsigned char*>(to);
    const volatile unsigned char* in = reinterpret_cast<const volatile unsigned char*>(from);
    for (size_t i = 0; i < count; ++i) out[i] = in[i];
}

void AddRange(uintptr_t begin, uintptr_t end) {
    if (begin >= end) return;
    Range range{begin, end, std::vector<unsigned char>(end - begin)};
    CopyBytes(reinterpret_cast<uintptr_t>(range.image.data()), begin, end - begin);
    writableRanges.push_back(std::move(range));
}

struct Search {
    const char* libraryName;
    bool found;
};

int SaveObject(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    if (info->dlpi_name == nullptr || std::strstr(info->dlpi_name, search->libraryName) == nullptr) return 0;
    uintptr_t relroBegin = 0, relroEnd = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_GNU_RELRO) continue;
        relroBegin = info->dlpi_addr + segment.p_vaddr;
        relroEnd = relroBegin + segment.p_memsz;
    }
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_W) == 0) continue;
        const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        const uintptr_t end = begin + segment.p_memsz;
        if (relroEnd <= begin || relroBegin >= end) {
            AddRange(begin, end);
        } else {
            AddRange(begin, relroBegin);
            AddRange(relroEnd, end);
        }
    }
    search->found = true;
    return 1;
}

}  // namespace

void SaveLoadTimeImage(const char* libraryName) {
    Search search{libraryName, false};
    dl_iterate_phdr(SaveObject, &search);
    if (!search.found || writableRanges.empty()) {
        std::fprintf(stderr, "fresh load: no writable data found for the plug-in library\n");
        std::abort();
    }
}

void RestoreLoadTimeImage() {
    for (const Range& range : writableRanges) {
        CopyBytes(range.begin, reinterpret_cast<uintptr_t>(range.image.data()), range.end - range.begin);
    }
}

}  // namespace fuzz
