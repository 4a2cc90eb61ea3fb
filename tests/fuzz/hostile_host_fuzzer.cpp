// Fuzz target: a hostile host. The real plug-in (linked in as a shared library) runs ScriptMain on
// its script fiber over many frames, and every answer the host gives comes from the fuzzer's bytes:
// native results (texts of any length or null, handles, bools with any byte, floats with NaN and
// infinities, screen sizes of 0 or below, node results other than 0 and 1, player slots with any
// team, name and vehicle), values written through out-parameters, the key states, the clock and
// the KOV.ini text. The plug-in must not crash, overrun a buffer or break the call convention, and
// may give a blip native only handles this input's add-blip returned: a handle kept from an
// earlier input means the plug-in did not start from its load-time records.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "host/call_native.h"
#include "host/platform.h"
#include "host/script_hook.h"
#include "sim/game/virtual_keys.h"
#include "sim/game/world.h"
#include "sim/ini/ini_lookup.h"
#include "sim/natives/argument_check.h"
#include "sim/natives/native_call.h"
#include "sim/platform/fiber.h"
#include "sim/platform/linked/linked_plugin.h"
#include "work_dir.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace {

constexpr int kMaxFrames = 32;
constexpr size_t kMaxHostTextBytes = 2048;
constexpr size_t kMaxIniBytes = 2048;
// The plug-in's longest text buffer holds 127 characters; a longer text argument is an overrun
// of some buffer or a host text passed on uncut.
constexpr size_t kLongestPluginText = 127;
constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;
constexpr int kKeysRead[] = {sim::kCtrlKey, sim::kAltKey, sim::kLKey};
constexpr DWORD kWaitsUsed[] = {0, 100};  // the next frame; the header and dead passes

struct FuzzHost {
    FuzzedDataProvider* bytes = nullptr;
    uint64_t padding = 0;  // what the slots hold above the bits a result kind defines
    std::optional<std::string> iniText;

    void (*script)() = nullptr;
    sim::Fiber* fiber = nullptr;
    bool onFiber = false;
    uint32_t clockMs = 0;
    int frame = 0;        // frames resumed, for a fault's position
    int callInFrame = 0;  // native calls opened in the frame, the open one included
    bool waiting = false;
    uint32_t waitStartMs = 0;
    uint32_t waitMs = 0;

    bool callOpen = false;
    uint64_t hash = 0;
    uint64_t args[sim::kMaxNativeArgs] = {};
    int argCount = 0;
    uint64_t result[3] = {};
    // The text last returned. The plug-in uses or copies a result at once, so it is freed when the
    // next call starts: a kept pointer then reads freed memory.
    std::unique_ptr<char[]> text;
    std::set<int32_t> issuedBlips;  // handles add-blip returned in this input (see NoteIssuedBlip)
};

FuzzHost host;

[[noreturn]] void Violation(const char* what) {
    std::fprintf(stderr, "hostile host: %s (native 0x%016" PRIX64 ")\n", what, host.hash);
    std::abort();
}

// ---- values from the fuzzer's bytes ----------------------------------------------------------

float AnyFloat(FuzzedDataProvider& bytes) {
    static const float kEdges[] = {0.0f,      -0.0f,   1.0f,     -1.0f,   NAN,    -NAN,  INFINITY,
                                   -INFINITY, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-45f, 1e30f, -373.38f,
                                   45.0f,     135.0f,  225.0f,   315.0f,  20.0f,  90.2f, -1e30f};
    if (bytes.ConsumeBool()) return bytes.PickValueInArray(kEdges);
    const uint32_t bits = bytes.ConsumeIntegral<uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t AnyInt(FuzzedDataProvider& bytes) {
    static const int32_t kEdges[] = {0, -1, 1, 2, 31, 32, 33, -2, INT32_MIN, INT32_MAX, 1000, 1280, 720};
    if (bytes.ConsumeBool()) return bytes.PickValueInArray(kEdges);
    return bytes.ConsumeIntegral<int32_t>();
}

uint64_t Padded(uint32_t low) { return (host.padding & ~0xFFFFFFFFull) | low; }
uint64_t FloatSlot(float value) { return Padded(native_slot::From(value) & 0xFFFFFFFFu); }

const char* AnyText(FuzzedDataProvider& bytes) {
    if (bytes.ConsumeProbability<float>() < 0.1f) return nullptr;
    const std::string value = bytes.ConsumeRandomLengthString(kMaxHostTextBytes);
    host.text.reset(new char[value.size() + 1]);  // exactly sized: a read past the end is caught
    std::memcpy(host.text.get(), value.data(), value.size());
    host.text[value.size()] = '\0';
    return host.text.get();
}

uint64_t AnyResult(char kind, FuzzedDataProvider& bytes) {
    switch (kind) {
        case 'i':
        case 'u': return Padded(static_cast<uint32_t>(AnyInt(bytes)));
        case 'b':
        case 'B': return (host.padding & ~0xFFull) | bytes.ConsumeIntegral<uint8_t>();
        case 'f': return FloatSlot(AnyFloat(bytes));
        case 's': return reinterpret_cast<uintptr_t>(AnyText(bytes));
        default: return host.padding;
    }
}

// ---- the call convention ---------------------------------------------------------------------

// Checks a text argument's length and answers through an out-parameter; the slot's value itself
// has passed both hosts' argument check.
void TakeArgument(char kind, uint64_t slot, FuzzedDataProvider& bytes) {
    switch (kind) {
        case 'i':
        case 'u':
        case 'f':
        case 'b':
        case 'z':
        case 'n': return;
        case 's': {
            const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(slot));
            if (text != nullptr && std::strlen(text) > kLongestPluginText) Violation("a text argument is too long");
            return;
        }
        case 'o':
        case 'h': {
            auto* value = reinterpret_cast<int32_t*>(static_cast<uintptr_t>(slot));
            const int32_t before = *value;  // a handle passed by address is read by the host
            *value = bytes.ConsumeBool() ? before : AnyInt(bytes);
            return;
        }
        case 'V': {
            auto* vector = reinterpret_cast<NativeVector3*>(static_cast<uintptr_t>(slot));
            vector->x = AnyFloat(bytes);
            vector->y = AnyFloat(bytes);
            vector->z = AnyFloat(bytes);
            vector->xPad = vector->yPad = vector->zPad = static_cast<uint32_t>(host.padding >> 32);
            return;
        }
        default: Violation("the native table has an argument kind this host does not know");
    }
}

void StartCall(uint64_t hash) {
    if (!host.onFiber) Violation("nativeInit outside the script");
    if (host.callOpen) Violation("nativeInit while a call is open");
    host.text.reset();
    host.callOpen = true;
    host.hash = hash;
    host.argCount = 0;
    ++host.callInFrame;
}

// ---- blip handles ----------------------------------------------------------------------------

constexpr std::string_view kAddBlipRole = "add blip for coordinates";
constexpr std::string_view kBlipExistsRole = "blip exists";
constexpr int32_t kNoBlip = -1;  // what the plug-in holds for a slot without a blip

bool TakesABlip(std::string_view role) {
    return role.substr(0, 8) == "set blip" || role == kBlipExistsRole || role == "remove blip";
}

int32_t IntIn(uint64_t slot) { return static_cast<int32_t>(static_cast<uint32_t>(slot)); }

// The blip a call addresses: its first argument, or the handle behind it when passed by address.
int32_t BlipArgument(const sim::NativeSignature& def) {
    if (def.args[0] != 'h') return IntIn(host.args[0]);
    const auto* handle = reinterpret_cast<const int32_t*>(static_cast<uintptr_t>(host.args[0]));
    if (handle == nullptr) Violation("a null out-parameter");
    return *handle;
}

// Asking whether "no blip" exists is harmless; any other handle must be one this input's host
// issued through add-blip (or, for -1, said exists).
void CheckBlipHandle(const sim::NativeSignature& def) {
    if (!TakesABlip(def.role)) return;
    const int32_t handle = BlipArgument(def);
    if (host.issuedBlips.count(handle) == 0 && !(def.role == kBlipExistsRole && handle == kNoBlip)) {
        Violation("a blip handle this input's host never issued");
    }
}

// What the plug-in learns of blips: the handles add-blip returns, and a "yes" to whether one exists.
void NoteIssuedBlip(const sim::NativeSignature& def, int32_t askedAbout) {
    const bool exists = def.role == kBlipExistsRole && (host.result[0] & 0xFFu) != 0;
    if (def.role == kAddBlipRole) host.issuedBlips.insert(IntIn(host.result[0]));
    else if (exists) host.issuedBlips.insert(askedAbout);
}

uint64_t* FinishCall() {
    if (!host.callOpen) Violation("nativeCall without nativeInit");
    host.callOpen = false;
    const sim::NativeSignature* native = sim::FindSignature(host.hash);
    if (native == nullptr) Violation("a native the host does not know");
    const sim::Status verdict = sim::ArgumentFault(*native, host.args, host.argCount, {host.callInFrame, host.frame});
    if (!verdict) Violation(verdict.error().c_str());
    CheckBlipHandle(*native);
    const int32_t firstArgument = IntIn(host.args[0]);
    FuzzedDataProvider& bytes = *host.bytes;
    for (int i = 0; i < host.argCount; ++i) TakeArgument(native->args[i], host.args[i], bytes);
    for (uint64_t& slot : host.result) slot = host.padding;
    if (native->result == 'v') {
        for (uint64_t& slot : host.result) slot = FloatSlot(AnyFloat(bytes));
    } else {
        host.result[0] = AnyResult(native->result, bytes);
    }
    NoteIssuedBlip(*native, firstArgument);
    return host.result;
}

// ---- the script fiber and the frames ---------------------------------------------------------

void RunScript() {
    host.script();
    Violation("the script entry returned");
}

bool WaitIsOver() { return !host.waiting || host.clockMs - host.waitStartMs >= host.waitMs; }

void ResumeScript() {
    ++host.frame;
    host.callInFrame = 0;
    host.waiting = false;
    host.onFiber = true;
    sim::SwitchToFiber(host.fiber);
    host.onFiber = false;
}

// Mostly a frame of a few milliseconds; now and then a jump of any size, across the clock's wrap.
uint32_t FrameStepMs(FuzzedDataProvider& bytes) {
    const uint8_t step = bytes.ConsumeIntegral<uint8_t>();
    return step < 240 ? step : bytes.ConsumeIntegral<uint32_t>();
}

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&host); }

}  // namespace

// ---- the script hook library and the platform functions, as the plug-in imports them ---------

void scriptRegister(HINSTANCE module, void (*entry)()) {
    if (module != ModuleHandle() || entry == nullptr) Violation("scriptRegister with a bad module or entry");
    if (host.script != nullptr) Violation("scriptRegister twice");
    host.script = entry;
}

void scriptUnregister(HINSTANCE module) {
    if (module != ModuleHandle()) Violation("scriptUnregister with a bad module");
    host.script = nullptr;
}

void scriptWait(DWORD milliseconds) {
    if (!host.onFiber) Violation("scriptWait outside the script");
    if (host.callOpen) Violation("scriptWait during an open call");
    if (milliseconds != kWaitsUsed[0] && milliseconds != kWaitsUsed[1]) Violation("a wait of an unexpected length");
    host.waiting = true;
    host.waitStartMs = host.clockMs;
    host.waitMs = milliseconds;
    sim::YieldToHost(host.fiber);
}

void nativeInit(uint64_t hash) { StartCall(hash); }

void nativePush64(uint64_t value) {
    if (!host.callOpen) Violation("nativePush64 without nativeInit");
    if (host.argCount == sim::kMaxNativeArgs) Violation("too many arguments");
    host.args[host.argCount++] = value;
}

uint64_t* nativeCall() { return FinishCall(); }

extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size,
                                          LPCSTR path) {
    if (path == nullptr || out == nullptr) Violation("profile lookup without a path or a buffer");
    return sim::LookupProfileString(host.iniText, section, key, fallback, out, size);
}

// Placement's save: the writer succeeds or fails as the input says, with any error.
extern "C" BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) {
        Violation("profile write without a section, key, value or path");
    }
    return host.bytes->ConsumeBool() ? 1 : 0;
}

extern "C" DWORD GetLastError(void) { return host.bytes->ConsumeIntegral<uint32_t>(); }

extern "C" DWORD GetTickCount(void) { return host.clockMs; }

extern "C" short GetAsyncKeyState(int virtualKey) {
    bool known = false;
    for (int key : kKeysRead) known = known || key == virtualKey;
    // The placement key the settings name: a letter or a digit.
    known = known || (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
    if (!known) Violation("a key the plug-in has no use for");
    return static_cast<short>(host.bytes->ConsumeIntegral<uint16_t>());
}

// ---- libFuzzer entry points ------------------------------------------------------------------

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InScratchDirectory inScratch;  // the plug-in writes KOV.log
    FuzzedDataProvider bytes(data, size);
    if (!sim::FreshLinkedPlugin()) Violation("the plug-in's records cannot be put at their load-time values");
    host = FuzzHost{};
    host.bytes = &bytes;
    host.padding = bytes.ConsumeIntegral<uint64_t>();
    host.clockMs = bytes.ConsumeIntegral<uint32_t>();
    if (bytes.ConsumeBool()) host.iniText = bytes.ConsumeRandomLengthString(kMaxIniBytes);

    if (!DllMain(ModuleHandle(), kProcessAttach, nullptr) || host.script == nullptr) Violation("no script registered");
    host.fiber = sim::CreateFiber(RunScript);
    for (int frame = 0; frame < kMaxFrames && bytes.remaining_bytes() > 0; ++frame) {
        host.clockMs += FrameStepMs(bytes);
        if (WaitIsOver()) ResumeScript();
    }
    if (!DllMain(ModuleHandle(), kProcessDetach, nullptr) || host.script != nullptr) Violation("not unregistered");
    sim::DestroyFiber(host.fiber);
    host = FuzzHost{};
    return 0;
}
