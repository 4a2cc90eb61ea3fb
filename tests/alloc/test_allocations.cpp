// Heap allocations per frame: none after the first frame of each measured frame.
//
// This executable defines malloc and its family (forwarding to glibc's own entry points) and the
// global operator new and delete (through that malloc). The loaded plug-in resolves malloc
// globally, so its allocations, and those of the C library on its behalf (fopen, for one), land
// here too. Counting is switched on only around the frames under test; the minimal host answering
// the plug-in does not allocate at all once loaded, so every count is the plug-in's.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

#include "bench/frame_cases.h"
#include "bench/minimal_host.h"
#include "tools/guarded_main.h"

extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* block);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

bool counting = false;
uint64_t allocations = 0;

void CountAllocation() {
    if (counting) ++allocations;
}

// Allocations made while `work` runs.
template <typename Work>
uint64_t AllocationsDuring(Work&& work) {
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations;
}

}  // namespace

extern "C" void* malloc(size_t size) noexcept {
    CountAllocation();
    return __libc_malloc(size);
}
extern "C" void free(void* block) noexcept { __libc_free(block); }
extern "C" void* calloc(size_t count, size_t size) noexcept {
    CountAllocation();
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) noexcept {
    CountAllocation();
    return __libc_realloc(block, size);
}
extern "C" void* memalign(size_t alignment, size_t size) noexcept {
    CountAllocation();
    return __libc_memalign(alignment, size);
}
extern "C" void* aligned_alloc(size_t alignment, size_t size) noexcept {
    CountAllocation();
    return __libc_memalign(alignment, size);
}
extern "C" int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
    CountAllocation();
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) return ENOMEM;
    *out = block;
    return 0;
}
extern "C" void* valloc(size_t size) noexcept {
    CountAllocation();
    return __libc_memalign(static_cast<size_t>(sysconf(_SC_PAGESIZE)), size);
}

void* operator new(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) std::abort();  // built without exceptions in mind: fail loudly
    return block;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

constexpr uint64_t kDrawTextNative = 0xCD015E5BB0D96A57;
constexpr uint64_t kDrawRectangleNative = 0x3A618A217E5154F0;
constexpr uint64_t kSetBlipCoordsNative = 0xAE2AF67E9D9AF65D;
constexpr int kFramesCounted = 5000;

// What each measured frame must draw, so that a frame that quietly does less cannot pass.
struct ExpectedFrame {
    const char* name;
    uint64_t textsPerFrame;
    uint64_t rectanglesPerFrame;
    uint64_t blipMovesPerFrame;
};

const ExpectedFrame kExpected[] = {
    // name                      texts  rects  blip moves
    // clang-format off
    {"single_player_crossing",   5,     0,     0},
    {"single_player_near",       5,     0,     0},
    // clang-format on
    // panel 5, list title, 2 per listed player, count line, notice; a box per row and the
    // header; 31 other players moved by each of the two blip passes
    {"online_worst", 72, 33, 62},
};
static_assert(std::size(kExpected) == std::size(bench::kFrameCases), "one expectation per measured frame");

int failures = 0;

void Check(bool ok, const char* frame, const char* what, uint64_t seen, uint64_t expected) {
    if (ok) return;
    ++failures;
    std::printf("FAIL %s: %s: %llu (expected %llu)\n", frame, what, static_cast<unsigned long long>(seen),
                static_cast<unsigned long long>(expected));
}

// Each counted call of one native per frame, over the counted frames.
uint64_t PerFrame(uint64_t before, uint64_t hash) { return (bench::CallCountOf(hash) - before) / kFramesCounted; }

void CheckFrame(const bench::FrameCase& frameCase, const ExpectedFrame& expected, const char* pluginPath) {
    if (std::strcmp(frameCase.name, expected.name) != 0) {
        Check(false, expected.name, "expectation matches the measured frame of the same row", 0, 1);
        return;
    }
    if (!bench::LoadCase(frameCase, pluginPath)) {
        Check(false, frameCase.name, "plug-in loaded", 0, 1);
        return;
    }
    // Start-up opens KOV.log: seeing those allocations proves the counting reaches the plug-in.
    const uint64_t startUp = AllocationsDuring([&] { bench::RunToFirstFrame(frameCase); });
    Check(startUp > 0, frameCase.name, "allocations seen during start-up", startUp, 1);

    static bench::Recording firstFrame;
    bench::RecordPluginPass(&firstFrame);
    const uint64_t calls = bench::NativeCallCount();
    const uint64_t texts = bench::CallCountOf(kDrawTextNative);
    const uint64_t rects = bench::CallCountOf(kDrawRectangleNative);
    const uint64_t moves = bench::CallCountOf(kSetBlipCoordsNative);

    const uint64_t counted = AllocationsDuring([] {
        for (int i = 0; i < kFramesCounted; ++i) bench::RunPluginPass();
    });
    Check(counted == 0, frameCase.name, "heap allocations after the first frame", counted, 0);

    const uint64_t callsPerFrame = static_cast<uint64_t>(firstFrame.callCount);
    Check(bench::NativeCallCount() - calls == callsPerFrame * kFramesCounted, frameCase.name,
          "native calls over the counted frames", bench::NativeCallCount() - calls, callsPerFrame * kFramesCounted);
    Check(PerFrame(texts, kDrawTextNative) == expected.textsPerFrame, frameCase.name, "texts drawn per frame",
          PerFrame(texts, kDrawTextNative), expected.textsPerFrame);
    Check(PerFrame(rects, kDrawRectangleNative) == expected.rectanglesPerFrame, frameCase.name,
          "rectangles drawn per frame", PerFrame(rects, kDrawRectangleNative), expected.rectanglesPerFrame);
    Check(PerFrame(moves, kSetBlipCoordsNative) == expected.blipMovesPerFrame, frameCase.name, "blips moved per frame",
          PerFrame(moves, kSetBlipCoordsNative), expected.blipMovesPerFrame);
    std::printf("%-24s %llu allocations over %d frames after the first (%llu native calls per frame)\n", frameCase.name,
                static_cast<unsigned long long>(counted), kFramesCounted,
                static_cast<unsigned long long>(callsPerFrame));
}

}  // namespace

int main() {
    tools::RemoveTemporaryFilesOnSignals();  // a stop of the host is an abort: its files go too
    const char* overridden = std::getenv("KOV_PLUGIN");
    const char* pluginPath = overridden != nullptr && *overridden != '\0' ? overridden : KOV_PLUGIN_PATH;

    // The hooks themselves: one malloc and one new are two allocations.
    const uint64_t own = AllocationsDuring([] {
        void* volatile block = std::malloc(16);
        std::free(block);
        int* volatile number = new int(7);
        delete number;
    });
    Check(own == 2, "self-check", "allocations counted for one malloc and one new", own, 2);

    if (!bench::EnterScratchDirectory()) return 1;
    for (size_t i = 0; i < std::size(kExpected); ++i) CheckFrame(bench::kFrameCases[i], kExpected[i], pluginPath);
    bench::UnloadPlugin();
    bench::LeaveScratchDirectory();
    std::printf(failures == 0 ? "PASS\n" : "%d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}
