// The minimal host: fixed answers for every native the plug-in calls, the six script hook
// operations, the three platform functions, and recording and replay of a pass.
#include "bench/minimal_host.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "host/platform.h"
#include "host/script_hook.h"
#include "sim/platform/fiber.h"
#include "sim/platform/plugin_module.h"

namespace bench {

FixedWorld world;

namespace {

// The call being made: filled by nativeInit and nativePush64, answered by nativeCall. As in the
// script hook, the argument slots persist from call to call; nativeInit resets only the count.
struct Call {
    uint64_t args[kMaxNativeArgs];
    int argCount;
    uint64_t result[3];

    int32_t Int(int i) const { return static_cast<int32_t>(static_cast<uint32_t>(args[i])); }
    uint32_t Uint(int i) const { return static_cast<uint32_t>(args[i]); }
    float Float(int i) const {
        const uint32_t bits = static_cast<uint32_t>(args[i]);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    template <typename T>
    T* Pointer(int i) const { return reinterpret_cast<T*>(static_cast<uintptr_t>(args[i])); }

    void ReturnInt(int32_t v) { result[0] = static_cast<uint32_t>(v); }
    void ReturnBool(bool v) { result[0] = v ? 1 : 0; }
    void ReturnFloat(float v) { result[0] = FloatSlot(v); }
    void ReturnText(const char* text) { result[0] = reinterpret_cast<uintptr_t>(text); }
    void ReturnVector(const FixedVector& v) {
        result[0] = FloatSlot(v.x);
        result[1] = FloatSlot(v.y);
        result[2] = FloatSlot(v.z);
    }
    static uint64_t FloatSlot(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
};

// Argument kinds, one letter per slot the current game reads: i int, u hash, f float, b bool,
// s text, o out-int, V out-vector (three slots), h handle pointer. The count is checked; of the
// kinds only the pointer ones matter here: a recording rewrites them to storage of its own.
struct NativeRow {
    uint64_t hash;
    const char* kinds;
    void (*answer)(Call& call);
    int arity;        // strlen(kinds), set once
    uint64_t calls;   // since load
};

// ---- answers -----------------------------------------------------------------------------------

void Nothing(Call&) {}
void True(Call& c) { c.ReturnBool(true); }
void False(Call& c) { c.ReturnBool(false); }
void Zero(Call& c) { c.ReturnInt(0); }
void SameInt(Call& c) { c.ReturnInt(c.Int(0)); }

bool IsActiveSlot(int32_t player) { return player >= 0 && player < world.activePlayers; }

void LocalPlayerIndex(Call& c) { c.ReturnInt(world.localPlayerIndex); }
void LocalPlayerPed(Call& c) { c.ReturnInt(kPedBase + world.localPlayerIndex); }
void SessionByte(Call& c) { c.result[0] = world.sessionByte; }
void ScreenResolution(Call& c) {
    *c.Pointer<int32_t>(0) = world.screenWidth;
    *c.Pointer<int32_t>(1) = world.screenHeight;
}

void RadarHidden(Call& c) { c.ReturnBool(world.radarHidden); }
void EntityCoords(Call& c) { c.ReturnVector(world.position); }
void EntityHeading(Call& c) { c.ReturnFloat(world.heading); }
void StreetHashes(Call& c) {
    *c.Pointer<uint32_t>(3) = world.streetHash;
    *c.Pointer<uint32_t>(4) = world.crossingHash;
}
void StreetName(Call& c) {
    const uint32_t hash = c.Uint(0);
    c.ReturnText(hash == world.streetHash ? world.streetName : hash == world.crossingHash ? world.crossingName : "");
}
void ZoneCode(Call& c) { c.ReturnText(world.zoneCode); }
void PointOnRoad(Call& c) { c.ReturnBool(world.onRoad); }
void ClosestNode(Call& c) {
    float* node = c.Pointer<float>(3);  // x, y and z in the low halves of three slots
    node[0] = world.node.x;
    node[2] = world.node.y;
    node[4] = world.node.z;
    c.result[0] = world.nodeResult;
}
void Distance(Call& c) {
    const float dx = c.Float(3) - c.Float(0);
    const float dy = c.Float(4) - c.Float(1);
    const float dz = c.Float(5) - c.Float(2);
    c.ReturnFloat(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void ControlPressed(Call& c) { c.ReturnBool(world.radarControlPressed); }
void ControlJustReleased(Call& c) { c.ReturnBool(world.radarControlJustReleased); }

void PlayerActive(Call& c) { c.result[0] = IsActiveSlot(c.Int(0)) ? 1 : 0; }
void PlayerPed(Call& c) { c.ReturnInt(kPedBase + c.Int(0)); }
void PlayerTeam(Call& c) { c.ReturnInt(c.Int(0) == world.localPlayerIndex ? world.localTeam : world.otherTeam); }
void InAnyVehicle(Call& c) { c.ReturnBool(world.inVehicle); }
void VehiclePedIsIn(Call& c) { c.ReturnInt(kVehicleBase + (c.Int(0) - kPedBase)); }
void HashKey(Call& c) { c.result[0] = 0x5A3C0F1Eu; }
void Ceiling(Call& c) { c.ReturnInt(static_cast<int32_t>(std::ceil(c.Float(0)))); }

char playerNames[kSessionSlots][16];
void PlayerName(Call& c) {
    const int32_t player = c.Int(0);
    c.ReturnText(player >= 0 && player < kSessionSlots ? playerNames[player] : "");
}

int32_t nextBlip = 0;
void AddBlip(Call& c) { c.ReturnInt(++nextBlip); }
void KillerOfPlayer(Call& c) {
    *c.Pointer<uint32_t>(1) = 0;
    c.ReturnInt(0);
}

// One row per native the plug-in calls.
NativeRow nativeRows[] = {
    // frame loop
    {0x4F8644AF03D0E0D6, "",         LocalPlayerIndex,    0, 0},
    {0xD80958FC74E988A6, "",         LocalPlayerPed,      0, 0},
    {0xD83C2B94E7508980, "",         SessionByte,         0, 0},
    {0x7239B21A38F536BA, "i",        True,                0, 0},  // entity exists
    {0xB0034A223497FFCB, "",         False,               0, 0},  // pause menu active
    {0x5F9532F3B5CC2551, "ib",       False,               0, 0},  // entity dead
    // text and rectangles
    {0x888D57E407E63624, "oo",       ScreenResolution,    0, 0},
    {0x07C837F9A01C34C9, "ff",       Nothing,             0, 0},  // text scale
    {0xC02F4DBFB51D988B, "b",        Nothing,             0, 0},  // text centring
    {0x465C84BC39F1C351, "iiiii",    Nothing,             0, 0},  // text drop shadow
    {0xBE6B23FFA53FB442, "iiii",     Nothing,             0, 0},  // text colour
    {0x25FBB336DF1804CB, "s",        Nothing,             0, 0},  // begin screen text
    {0x6C188BE134E074AA, "s",        Nothing,             0, 0},  // add text component
    {0x038C1F517D7FDCF8, "b",        Nothing,             0, 0},  // text proportional
    {0x66E0276CC5F6B9DA, "i",        Nothing,             0, 0},  // text font
    {0xCD015E5BB0D96A57, "ffi",      Nothing,             0, 0},  // end text: draw
    {0x2513DFB0FB8400FE, "",         Nothing,             0, 0},  // text outline
    {0x3A618A217E5154F0, "ffffiiiib", Nothing,            0, 0},  // draw rectangle
    // location
    {0x3FEF770D40960D5A, "ib",       EntityCoords,        0, 0},
    {0xE83D4F9BA2A38914, "i",        EntityHeading,       0, 0},
    {0x2EB41072B4C1E4C0, "fffoo",    StreetHashes,        0, 0},
    {0xD0EF8A959B8A4CB9, "u",        StreetName,          0, 0},
    {0xCD90657D4C30E1CA, "fff",      ZoneCode,            0, 0},
    {0x157F93B036700462, "",         RadarHidden,         0, 0},
    {0x276B6CE369C33678, "b",        Nothing,             0, 0},  // display area name
    {0x125BF4ABFC536B09, "fffi",     PointOnRoad,         0, 0},
    {0x2EABE3B06F58C1BE, "fffVfi",   ClosestNode,         0, 0},
    {0xF1B760881820C952, "ffffffb",  Distance,            0, 0},
    // controls
    {0xF3A21BCD95725A4A, "ii",       ControlPressed,      0, 0},
    {0x50F940259D3841E6, "ii",       ControlJustReleased, 0, 0},
    {0xA0EBB943C300E693, "b",        Nothing,             0, 0},  // display radar
    {0x231C8F89D0539D8F, "bb",       Nothing,             0, 0},  // big map
    {0x82CEDC33687E1F50, "b",        Nothing,             0, 0},  // name tags on blips
    // players
    {0xD46923FC481CA285, "",         Nothing,             0, 0},  // hide help text
    {0x41BD2A6B006AF756, "i",        SameInt,             0, 0},  // player index from integer
    {0xB8DFD30D6973E135, "i",        PlayerActive,        0, 0},
    {0x43A66C31C68491C0, "i",        PlayerPed,           0, 0},
    {0x37039302F4E0A008, "i",        PlayerTeam,          0, 0},
    {0x424D4687FA1E5652, "i",        False,               0, 0},  // player dead
    {0x7718D2E2060837D2, "i",        PlayerName,          0, 0},  // network player name
    {0x6D0DE6A7B5DA71F8, "i",        PlayerName,          0, 0},
    // blips
    {0x5A039BB0BCA604B6, "fff",      AddBlip,             0, 0},
    {0xAE9FC9EF6A9FAC79, "ii",       Nothing,             0, 0},  // priority
    {0x9029B2F3DA924928, "ii",       Nothing,             0, 0},  // display
    {0x234CDD44D996FD9A, "ii",       Nothing,             0, 0},  // category
    {0xAE2AF67E9D9AF65D, "ifff",     Nothing,             0, 0},  // coordinates
    {0xDF735600A4696DAF, "ii",       Nothing,             0, 0},  // sprite
    {0xF87683CDF73C3F6E, "ii",       Nothing,             0, 0},  // rotation
    {0x127DE7B20C60A6A3, "ii",       Nothing,             0, 0},  // name to player name
    {0x45FF974EEE1C8734, "ii",       Nothing,             0, 0},  // alpha
    {0x03D7FB09E75D6B7E, "ii",       Nothing,             0, 0},  // colour
    {0xA6DB27D19ECBB7DA, "i",        True,                0, 0},  // blip exists
    {0x86A652570E5F25DD, "h",        Nothing,             0, 0},  // remove blip
    // peds and vehicles
    {0x3317DEDB88C95038, "ib",       False,               0, 0},  // dead or dying
    {0x997ABD671D25CA0B, "ib",       InAnyVehicle,        0, 0},
    {0x9A9112A0FE9A4713, "ib",       VehiclePedIsIn,      0, 0},
    {0x2E0E1C2B4F6CB339, "i",        False,               0, 0},  // boat
    {0xFBFC01CCFB35D99E, "i",        False,               0, 0},  // submarine
    {0x298B91AE825E5705, "i",        False,               0, 0},  // helicopter
    {0x5FFF4CFC74D8FB80, "i",        False,               0, 0},  // plane
    {0x94495889E22C6479, "i",        False,               0, 0},  // bike
    {0xD24D37CC275948CC, "s",        HashKey,             0, 0},
    {0x423E8DE37D934D89, "iu",       False,               0, 0},  // vehicle is model
    {0x11E019C8F43ACC8A, "f",        Ceiling,             0, 0},
    // obituaries
    {0x42B2DAA6B596F5F8, "io",       KillerOfPlayer,      0, 0},
    {0x524AC5ECEA15343E, "i",        False,               0, 0},  // entity is a ped
    {0x04A2A40C73395041, "i",        SameInt,             0, 0},  // ped from entity
    {0x12534C348C6CB68B, "i",        False,               0, 0},  // ped is a player
    {0x6C0E2E0125610278, "i",        Zero,                0, 0},  // player index from ped
    {0x202709F4C58A0424, "s",        Nothing,             0, 0},  // begin feed post
    {0x2ED7843F8F801023, "bb",       Nothing,             0, 0},  // end feed post ticker
};

// ---- host state ----------------------------------------------------------------------------------

[[noreturn]] void Die(const char* what, uint64_t hash) {
    std::fprintf(stderr, "minimal host: %s (native 0x%016llX)\n", what, static_cast<unsigned long long>(hash));
    std::abort();
}

Call call;
NativeRow* callRow = nullptr;
int callInPass = 0;  // native calls opened since the script was last resumed, the open one included

// The native reads every slot of its row: one the call did not push would hold a stale value.
[[noreturn]] void DieUnpushed(const NativeRow& row) {
    std::fprintf(stderr,
                 "minimal host: native 0x%016llX reads argument slot %d, which call %d of the pass did not push "
                 "(%d of %d pushed)\n",
                 static_cast<unsigned long long>(row.hash), call.argCount + 1, callInPass, call.argCount, row.arity);
    std::abort();
}
uint64_t nativeCalls = 0;
uint64_t platformCalls = 0;
Recording* recordTarget = nullptr;

sim::PluginModule* pluginModule = nullptr;
void (*scriptEntry)() = nullptr;
sim::Fiber* pluginFiber = nullptr;
sim::Fiber* replayFiber = nullptr;
sim::Fiber* emptyFiber = nullptr;
sim::Fiber* runningFiber = nullptr;  // the fiber scriptWait yields from
const Recording* replaySource = nullptr;

// Rows by hash: open addressing over a power-of-two table a few times larger than the row count,
// so a lookup is one multiply and, nearly always, one probe.
constexpr size_t kLookupSlots = 512;
NativeRow* lookup[kLookupSlots];

size_t LookupSlot(uint64_t hash) { return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> 55); }
static_assert(kLookupSlots == size_t{1} << (64 - 55), "the slot index covers the table");

NativeRow* FindRow(uint64_t hash) {
    for (size_t slot = LookupSlot(hash);; slot = (slot + 1) % kLookupSlots) {
        NativeRow* row = lookup[slot];
        if (row == nullptr || row->hash == hash) return row;
    }
}

void PrepareTable() {
    static bool prepared = false;
    if (prepared) return;
    for (NativeRow& row : nativeRows) {
        if (FindRow(row.hash) != nullptr) Die("two rows for one hash", row.hash);
        row.arity = static_cast<int>(std::strlen(row.kinds));
        if (row.arity > kMaxNativeArgs) Die("too many arguments in a row", row.hash);
        size_t slot = LookupSlot(row.hash);
        while (lookup[slot] != nullptr) slot = (slot + 1) % kLookupSlots;
        lookup[slot] = &row;
    }
    for (int p = 0; p < kSessionSlots; ++p) std::snprintf(playerNames[p], sizeof playerNames[p], "Rider_%02d", p);
    prepared = true;
}

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

void RecordCall(Recording& r, const NativeRow& row) {
    if (r.callCount == kMaxRecordedCalls) Die("recording full", row.hash);
    RecordedCall& rec = r.calls[r.callCount++];
    rec.hash = row.hash;
    rec.argCount = call.argCount;
    for (int i = 0; i < call.argCount; ++i) {
        uint64_t arg = call.args[i];
        switch (row.kinds[i]) {
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
    ++platformCalls;
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
    callInPass = 0;
    sim::SwitchToFiber(fiber);
    runningFiber = nullptr;
}

std::string scratchDirectory;
std::string previousDirectory;

}  // namespace

bool LoadPlugin(const char* path) {
    PrepareTable();
    UnloadPlugin();
    nativeCalls = platformCalls = 0;
    nextBlip = 0;
    for (NativeRow& row : nativeRows) row.calls = 0;
    std::string error;
    pluginModule = sim::LoadPluginModule(path, &error);
    if (pluginModule == nullptr) {
        std::fprintf(stderr, "minimal host: cannot load %s: %s\n", path, error.c_str());
        return false;
    }
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
            const char kind = row->kinds[k];
            if (kind == 's') {
                if (std::strcmp(reinterpret_cast<const char*>(x.args[k]), reinterpret_cast<const char*>(y.args[k])) != 0)
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
uint64_t PlatformCallCount() { return platformCalls; }

uint64_t CallCountOf(uint64_t hash) {
    PrepareTable();
    const NativeRow* row = FindRow(hash);
    return row != nullptr ? row->calls : 0;
}

bool EnterScratchDirectory() {
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr) return false;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kov-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        std::perror("minimal host: scratch directory");
        return false;
    }
    previousDirectory = here;
    scratchDirectory = pattern;
    return true;
}

void LeaveScratchDirectory() {
    if (scratchDirectory.empty()) return;
    std::remove("KOV.log");
    if (chdir(previousDirectory.c_str()) != 0) std::perror("minimal host: leaving the scratch directory");
    rmdir(scratchDirectory.c_str());
    scratchDirectory.clear();
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
    bench::callRow = bench::FindRow(hash);
    if (bench::callRow == nullptr) bench::Die("unknown native", hash);
    bench::call.argCount = 0;
    ++bench::callInPass;
}

void nativePush64(uint64_t value) {
    if (bench::call.argCount == bench::kMaxNativeArgs) bench::Die("too many arguments", bench::callRow->hash);
    bench::call.args[bench::call.argCount++] = value;
}

uint64_t* nativeCall() {
    bench::NativeRow& row = *bench::callRow;
    if (bench::call.argCount < row.arity) bench::DieUnpushed(row);
    if (bench::call.argCount > row.arity) bench::Die("more arguments than the native takes", row.hash);
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
    const bool down = (virtualKey == 0x12 && bench::world.altDown) || (virtualKey == 0x11 && bench::world.ctrlDown) ||
                      (virtualKey == 0x4C && bench::world.lDown);
    return down ? static_cast<short>(0x8000) : 0;
}

// No KOV.ini here: every key reads its default.
extern "C" DWORD GetPrivateProfileStringA(LPCSTR, LPCSTR, LPCSTR fallback, LPSTR out, DWORD size, LPCSTR) {
    bench::CountPlatformCall();
    if (size == 0) return 0;
    const char* text = fallback != nullptr ? fallback : "";
    DWORD n = 0;
    for (; n + 1 < size && text[n] != '\0'; ++n) out[n] = text[n];
    out[n] = '\0';
    return n;
}
