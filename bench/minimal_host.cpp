// The minimal host: the six script hook operations (each call checked, then answered from
// bench/native_answers.cpp), the three platform functions, and recording and replay of a pass.
#include "bench/minimal_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "bench/native_answers.h"
#include "host/platform.h"
#include "host/script_hook.h"
#include "sim/game/virtual_keys.h"
#include "sim/ini/ini_lookup.h"
#include "sim/platform/fiber.h"
#include "sim/platform/plugin_module.h"
#include "sim/platform/temporary_paths.h"

namespace bench {

namespace {

// ---- host state ----------------------------------------------------------------------------------

[[noreturn]] void Die(const char* what, uint64_t hash) {
    std::fprintf(stderr, "minimal host: %s (native 0x%016llX)\n", what, static_cast<unsigned long long>(hash));
    std::abort();
}

// The call being made: filled by nativeInit and nativePush64, answered by nativeCall. As in the
// script hook, the argument slots persist from call to call; nativeInit resets only the count.
sim::NativeCall call;
NativeRow* callRow = nullptr;
int passNumber = 0;  // passes since load: the frames of a fault's position
int callInPass = 0;  // native calls opened since the script was last resumed, the open one included

// The same message the simulated host fails a run with, then a stop. Out of line, like recording,
// so that nativeCall's usual path stays a few instructions.
[[noreturn, gnu::noinline, gnu::cold]] void DieOfArgumentFault(const NativeRow& row) {
    const sim::Status verdict = sim::ArgumentFault(*row.native, call.args, call.argCount, {callInPass, passNumber});
    std::fprintf(stderr, "minimal host: %s\n", verdict.error().c_str());
    std::abort();
}

// The call's place in the run, as the argument check words it.
std::string ThisCall() { return "call " + std::to_string(callInPass) + " of frame " + std::to_string(passNumber); }

[[noreturn, gnu::noinline, gnu::cold]] void DieOfUnknownNative(uint64_t hash) {
    std::fprintf(stderr, "minimal host: unknown native %s opened by %s\n", sim::Hex64(hash).c_str(),
                 ThisCall().c_str());
    std::abort();
}

[[noreturn, gnu::noinline, gnu::cold]] void DieOfExtraSlot(const NativeRow& row) {
    std::fprintf(stderr, "minimal host: %s argument slot %d of %s: the script hook has %d slots\n",
                 sim::NativeLabel(*row.native).c_str(), sim::kMaxNativeArgs + 1, ThisCall().c_str(),
                 sim::kMaxNativeArgs);
    std::abort();
}

uint64_t nativeCalls = 0;
Recording* recordTarget = nullptr;

sim::PluginModule* pluginModule = nullptr;
void (*scriptEntry)() = nullptr;
sim::Fiber* pluginFiber = nullptr;
sim::Fiber* replayFiber = nullptr;
sim::Fiber* emptyFiber = nullptr;
sim::Fiber* runningFiber = nullptr;  // the fiber scriptWait yields from
const Recording* replaySource = nullptr;

// ---- recording ---------------------------------------------------------------------------------

uint64_t* TakeOutSlots(Recording& r, int count, uint64_t hash) {
    if (r.outSlotCount + count > kRecordedOutSlots) Die("recording out of scratch slots", hash);
    uint64_t* slots = r.outSlots + r.outSlotCount;
    r.outSlotCount += count;
    std::memset(slots, 0, sizeof(uint64_t) * static_cast<size_t>(count));
    return slots;
}

uint64_t KeepText(Recording& r, const char* text, uint64_t hash) {
    const size_t bytes = std::strlen(text) + 1;
    if (r.textBytes + bytes > kRecordedTextBytes) Die("recording out of text space", hash);
    char* copy = r.texts + r.textBytes;
    std::memcpy(copy, text, bytes);
    r.textBytes += bytes;
    return reinterpret_cast<uintptr_t>(copy);
}

[[gnu::noinline]] void RecordCall(Recording& r, const NativeRow& row) {
    if (r.callCount == kMaxRecordedCalls) Die("recording full", row.hash);
    RecordedCall& rec = r.calls[r.callCount++];
    rec.hash = row.hash;
    rec.argCount = call.argCount;
    for (int i = 0; i < call.argCount; ++i) {
        uint64_t arg = call.args[i];
        switch (row.native->args[i]) {
            case 's': arg = KeepText(r, call.Pointer<const char>(i), row.hash); break;
            case 'o': arg = reinterpret_cast<uintptr_t>(TakeOutSlots(r, 1, row.hash)); break;
            case 'V': arg = reinterpret_cast<uintptr_t>(TakeOutSlots(r, 3, row.hash)); break;
            case 'h': {
                uint64_t* slot = TakeOutSlots(r, 1, row.hash);
                std::memcpy(slot, call.Pointer<int32_t>(i), sizeof(int32_t));
                arg = reinterpret_cast<uintptr_t>(slot);
                break;
            }
            default: break;
        }
        rec.args[i] = arg;
    }
}

void CountPlatformCall() {
    if (recordTarget != nullptr) ++recordTarget->platformCallCount;
}

// The replay reaches the script hook's operations as a plug-in must: through an address read from
// memory at every call, as from an import table, since a plug-in is a module of its own. A direct
// call into the host's code, which no plug-in can make, would put the floor below any plug-in's
// reach. (The read is volatile so that the compiler keeps it; the plug-in's `call *slot` does the
// same read within the call instruction.)
void (*volatile importedNativeInit)(uint64_t) = nativeInit;
void (*volatile importedNativePush64)(uint64_t) = nativePush64;
uint64_t* (*volatile importedNativeCall)() = nativeCall;

void ReplayMain() {
    for (;;) {
        for (int i = 0; i < replaySource->callCount; ++i) {
            const RecordedCall& rec = replaySource->calls[i];
            importedNativeInit(rec.hash);
            for (int a = 0; a < rec.argCount; ++a) importedNativePush64(rec.args[a]);
            importedNativeCall();
        }
        scriptWait(0);
    }
}

// A script that does nothing but wait: a resume of it costs the fiber switch alone.
void EmptyMain() {
    for (;;) scriptWait(0);
}

void Resume(sim::Fiber* fiber) {
    runningFiber = fiber;
    ++passNumber;
    callInPass = 0;
    sim::SwitchToFiber(fiber);
    runningFiber = nullptr;
}

// The plug-in's folder: one registered temporary folder, so an abort's signal clean-up removes it.
std::optional<sim::TemporaryWorkDirectory> scratch;
std::filesystem::path previousDirectory;

}  // namespace

bool LoadPlugin(const char* path) {
    PrepareRows();
    UnloadPlugin();
    nativeCalls = 0;
    passNumber = 0;
    ResetAnswers();
    const sim::Result<sim::PluginModule*> loaded = sim::LoadPluginModule(path);
    if (!loaded) {
        std::fprintf(stderr, "minimal host: cannot load %s: %s\n", path, loaded.error().c_str());
        return false;
    }
    pluginModule = *loaded;
    if (scriptEntry == nullptr) {
        std::fprintf(stderr, "minimal host: %s registered no script\n", path);
        UnloadPlugin();
        return false;
    }
    pluginFiber = sim::CreateFiber(scriptEntry);
    return true;
}

void UnloadPlugin() {
    if (pluginModule != nullptr) sim::UnloadPluginModule(pluginModule);
    pluginModule = nullptr;
    if (pluginFiber != nullptr) sim::DestroyFiber(pluginFiber);
    pluginFiber = nullptr;
    scriptEntry = nullptr;
}

void RunPluginPass() { Resume(pluginFiber); }

void RecordPluginPass(Recording* out) {
    out->callCount = 0;
    out->platformCallCount = 0;
    out->textBytes = 0;
    out->outSlotCount = 0;
    recordTarget = out;
    RunPluginPass();
    recordTarget = nullptr;
}

bool SameCalls(const Recording& a, const Recording& b) {
    if (a.callCount != b.callCount || a.platformCallCount != b.platformCallCount) return false;
    for (int i = 0; i < a.callCount; ++i) {
        const RecordedCall& x = a.calls[i];
        const RecordedCall& y = b.calls[i];
        if (x.hash != y.hash || x.argCount != y.argCount) return false;
        const NativeRow* row = FindRow(x.hash);
        for (int k = 0; k < x.argCount; ++k) {
            const char kind = row->native->args[k];
            if (kind == 's') {
                if (std::strcmp(reinterpret_cast<const char*>(x.args[k]), reinterpret_cast<const char*>(y.args[k])) !=
                    0)
                    return false;
            } else if (kind != 'o' && kind != 'V' && kind != 'h' && x.args[k] != y.args[k]) {
                return false;
            }
        }
    }
    return true;
}

void ReplayPass(const Recording& recording) {
    replaySource = &recording;
    if (replayFiber == nullptr) replayFiber = sim::CreateFiber(ReplayMain);
    Resume(replayFiber);
}

void EmptyPass() {
    if (emptyFiber == nullptr) emptyFiber = sim::CreateFiber(EmptyMain);
    Resume(emptyFiber);
}

uint64_t NativeCallCount() { return nativeCalls; }

uint64_t CallCountOf(uint64_t hash) {
    PrepareRows();
    const NativeRow* row = FindRow(hash);
    return row != nullptr ? row->calls : 0;
}

bool EnterScratchDirectory() {
    LeaveScratchDirectory();
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    if (error) return false;
    scratch.emplace("bench-");
    std::filesystem::current_path(scratch->path(), error);
    if (error) {
        std::fprintf(stderr, "minimal host: cannot enter %s: %s\n", scratch->path().c_str(), error.message().c_str());
        scratch.reset();
        return false;
    }
    previousDirectory = here;
    return true;
}

void LeaveScratchDirectory() {
    if (!scratch) return;
    std::error_code error;
    std::filesystem::current_path(previousDirectory, error);
    if (error) std::fprintf(stderr, "minimal host: cannot leave the scratch directory: %s\n", error.message().c_str());
    scratch.reset();
}

}  // namespace bench

// ---- the script hook library's operations ------------------------------------------------------

void scriptRegister(HINSTANCE, void (*entry)()) { bench::scriptEntry = entry; }

void scriptUnregister(HINSTANCE) { bench::scriptEntry = nullptr; }

void scriptWait(DWORD) {
    if (bench::runningFiber == nullptr) bench::Die("scriptWait outside a script", 0);
    sim::YieldToHost(bench::runningFiber);
}

void nativeInit(uint64_t hash) {
    ++bench::callInPass;
    bench::callRow = bench::FindRow(hash);
    if (bench::callRow == nullptr) bench::DieOfUnknownNative(hash);
    bench::call.argCount = 0;
}

void nativePush64(uint64_t value) {
    if (bench::call.argCount == sim::kMaxNativeArgs) bench::DieOfExtraSlot(*bench::callRow);
    bench::call.args[bench::call.argCount++] = value;
}

uint64_t* nativeCall() {
    bench::NativeRow& row = *bench::callRow;
    if (!bench::CallIsGood(row, bench::call.args, bench::call.argCount)) bench::DieOfArgumentFault(row);
    bench::call.result[0] = bench::call.result[1] = bench::call.result[2] = 0;
    row.answer(bench::call);
    ++row.calls;
    ++bench::nativeCalls;
    if (bench::recordTarget != nullptr) bench::RecordCall(*bench::recordTarget, row);
    return bench::call.result;
}

// ---- the platform functions ----------------------------------------------------------------------

extern "C" DWORD GetTickCount(void) {
    bench::CountPlatformCall();
    return bench::world.tickMs;
}

extern "C" short GetAsyncKeyState(int virtualKey) {
    bench::CountPlatformCall();
    const bool down = (virtualKey == sim::kAltKey && bench::world.altDown) ||
                      (virtualKey == sim::kCtrlKey && bench::world.ctrlDown) ||
                      (virtualKey == sim::kLKey && bench::world.lDown);
    return down ? static_cast<short>(0x8000) : 0;
}

// Placement mode never runs on a bench frame: nothing is written.
extern "C" BOOL WritePrivateProfileStringA(LPCSTR, LPCSTR, LPCSTR, LPCSTR) {
    bench::CountPlatformCall();
    return 0;
}

extern "C" DWORD GetLastError(void) {
    bench::CountPlatformCall();
    return 0;
}

// No KOV.ini here: every key reads its default, as the lookup gives it without a file.
extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size, LPCSTR) {
    bench::CountPlatformCall();
    return sim::LookupProfileString(std::nullopt, section, key, fallback, out, size);
}
