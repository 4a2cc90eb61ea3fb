// The one table of the natives the hosts know: per native its hash, its role (the readable name of
// trace lines and fault messages), the argument kinds as the plug-in pushes them, the result kind,
// who calls it, and the game's own kinds where the game names a slot differently. The simulated
// host's handlers, the minimal host of the benchmarks and the check of the plug-in's wrappers
// (tests/test_native_reference.cpp) all take their natives from here. The plug-in's wrappers
// (src/host/natives.h) and the game's reference (host-natives.tsv) write the same hashes down, and
// that test holds both to this table. Header-only and constexpr, so any host or fuzz target can
// include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace sim {

// Argument kinds, one letter per slot, as the plug-in pushes them:
//   i int32   u uint32 (hash)   f float   b bool (0 or 1)   s text pointer (copied into the trace)
//   z int32 the plug-in has no use for, pushed as 0, the value the game's own scripts pass
//   n bool the plug-in has no use for, pushed as false, the value the game's own scripts pass
//   o out-pointer to a 32-bit integer the host writes through
//   F out-pointer to a float the host writes through
//   V out-pointer to a NativeVector3 (three 8-byte slots) the host writes through
//   h pointer to an int32 handle (its value at call time is traced)
// Result kinds: '-' none, 'i' int32, 'u' uint32, 'b' bool, 'B' byte, 'f' float, 's' text, 'v' vector.
//
// `args` are the parameters as the current game reads them and as the plug-in pushes them. The
// game reads every one of these slots whatever was pushed, so both hosts fail a call that pushed
// fewer. Where the game declares a slot of another kind than the plug-in pushes into it (the same
// 32 bits either way), `gameArgs` gives the game's form; sim/natives/host-natives.tsv is the
// reference both are checked against.
enum class NativeUse : uint8_t {
    PlugIn,    // a wrapper of src/host/natives.h calls it
    HostOnly,  // the host knows it (to place things on the real screen); the plug-in does not call it
};

struct NativeSignature {
    uint64_t hash;
    const char* role;
    const char* args;
    char result;
    NativeUse use;
    const char* gameArgs = nullptr;  // null: the game reads each slot as the kind pushed into it
};

constexpr NativeUse kPlugIn = NativeUse::PlugIn;
constexpr NativeUse kHostOnly = NativeUse::HostOnly;

inline constexpr NativeSignature kNativeSignatures[] = {
    // ---- frame loop ----
    // clang-format off
    {0x4F8644AF03D0E0D6, "local player index",                "",          'i', kPlugIn},
    {0xD80958FC74E988A6, "local player ped",                  "",          'i', kPlugIn},
    {0xD83C2B94E7508980, "network session active",            "",          'B', kPlugIn},
    {0x7239B21A38F536BA, "entity exists",                     "i",         'b', kPlugIn},
    {0xB0034A223497FFCB, "pause menu active",                 "",          'b', kPlugIn},
    {0x5F9532F3B5CC2551, "entity dead",                       "in",        'b', kPlugIn},
    // ---- text, rectangles and feed posts ----
    {0x888D57E407E63624, "screen resolution query",           "oo",        '-', kPlugIn},
    {0x07C837F9A01C34C9, "set text scale",                    "ff",        '-', kPlugIn},
    {0xC02F4DBFB51D988B, "set text centring",                 "b",         '-', kPlugIn},
    {0x465C84BC39F1C351, "set text drop shadow",              "iiiii",     '-', kPlugIn},
    {0xBE6B23FFA53FB442, "set text colour",                   "iiii",      '-', kPlugIn},
    {0x25FBB336DF1804CB, "begin on-screen text command",      "s",         '-', kPlugIn},
    {0x6C188BE134E074AA, "add text component",                "s",         '-', kPlugIn},
    {0x038C1F517D7FDCF8, "set text proportional",             "b",         '-', kPlugIn},
    {0x66E0276CC5F6B9DA, "set text font",                     "i",         '-', kPlugIn},
    {0x2513DFB0FB8400FE, "set text outline",                  "",          '-', kPlugIn},
    {0xCD015E5BB0D96A57, "end text command: draw text",       "ffz",       '-', kPlugIn},
    {0x3A618A217E5154F0, "draw rectangle",                    "ffffiiiin", '-', kPlugIn},
    {0x202709F4C58A0424, "begin feed post",                   "s",         '-', kPlugIn},
    {0x2ED7843F8F801023, "end feed post as ticker",           "bb",        '-', kPlugIn},
    {0xD46923FC481CA285, "hide help text this frame",         "",          '-', kPlugIn},
    // ---- location ----
    {0x157F93B036700462, "radar hidden",                      "",          'b', kPlugIn},
    {0x276B6CE369C33678, "display area name",                 "b",         '-', kPlugIn},
    {0x3FEF770D40960D5A, "entity coordinates",                "ib",        'v', kPlugIn},
    {0xE83D4F9BA2A38914, "entity heading",                    "i",         'f', kPlugIn},
    {0x2EB41072B4C1E4C0, "street name hashes at coordinates", "fffoo",     '-', kPlugIn},
    {0xD0EF8A959B8A4CB9, "street name from hash key",         "u",         's', kPlugIn},
    {0xCD90657D4C30E1CA, "zone code at coordinates",          "fff",       's', kPlugIn},
    {0x125BF4ABFC536B09, "point on road",                     "fffi",      'b', kPlugIn},
    // The game declares the last parameter a float; the plug-in pushes integer 0, the same slot.
    {0x2EABE3B06F58C1BE, "closest major vehicle node",        "fffVfi",    'B', kPlugIn, "fffVff"},
    {0xF1B760881820C952, "distance between coordinates",      "ffffffb",   'f', kPlugIn},
    // ---- controls ----
    {0xF3A21BCD95725A4A, "control pressed",                   "ii",        'b', kPlugIn},
    {0x50F940259D3841E6, "control just released",             "ii",        'b', kPlugIn},
    {0xA0EBB943C300E693, "display radar",                     "b",         '-', kPlugIn},
    {0x231C8F89D0539D8F, "set big map active",                "bb",        '-', kPlugIn},
    {0x82CEDC33687E1F50, "display player name tags on blips", "b",         '-', kPlugIn},
    {0xFE99B66D079CF6BC, "disable control action",            "iib",       '-', kPlugIn},
    {0xE2587F8CBBD87B1D, "disabled control pressed",          "ii",        'b', kPlugIn},
    {0x91AEF906BCA88877, "disabled control just pressed",     "ii",        'b', kPlugIn},
    // ---- the game's own HUD hiding ----
    {0xA86478C6958735C5, "hud hidden",                        "",          'b', kPlugIn},
    {0xD3C2E180A40F031E, "cutscene playing",                  "",          'b', kPlugIn},
    {0xD9D2CFFF49FAB35F, "player switch in progress",         "",          'b', kPlugIn},
    // ---- players ----
    {0x41BD2A6B006AF756, "player index from integer",         "i",         'i', kPlugIn},
    {0xB8DFD30D6973E135, "network player active",             "i",         'B', kPlugIn},
    {0x43A66C31C68491C0, "player ped",                        "i",         'i', kPlugIn},
    {0x37039302F4E0A008, "player team",                       "i",         'i', kPlugIn},
    {0x424D4687FA1E5652, "player dead",                       "i",         'b', kPlugIn},
    {0x7718D2E2060837D2, "network player name",               "i",         's', kPlugIn},
    {0x6D0DE6A7B5DA71F8, "player name",                       "i",         's', kPlugIn},
    // ---- peds and vehicles ----
    {0x3317DEDB88C95038, "ped dead or dying",                 "ib",        'b', kPlugIn},
    {0x997ABD671D25CA0B, "ped in any vehicle",                "ib",        'b', kPlugIn},
    {0x9A9112A0FE9A4713, "vehicle ped is in",                 "ib",        'i', kPlugIn},
    {0x2E0E1C2B4F6CB339, "ped in any boat",                   "i",         'b', kPlugIn},
    {0xFBFC01CCFB35D99E, "ped in any submarine",              "i",         'b', kPlugIn},
    {0x298B91AE825E5705, "ped in any helicopter",             "i",         'b', kPlugIn},
    {0x5FFF4CFC74D8FB80, "ped in any plane",                  "i",         'b', kPlugIn},
    {0x94495889E22C6479, "ped on any bike",                   "i",         'b', kPlugIn},
    {0xD24D37CC275948CC, "hash key of string",                "s",         'u', kPlugIn},
    {0x423E8DE37D934D89, "vehicle is model",                  "iu",        'b', kPlugIn},
    {0x11E019C8F43ACC8A, "ceiling of float",                  "f",         'i', kPlugIn},
    // ---- blips ----
    {0x5A039BB0BCA604B6, "add blip for coordinates",          "fff",       'i', kPlugIn},
    {0xAE9FC9EF6A9FAC79, "set blip priority",                 "ii",        '-', kPlugIn},
    {0x9029B2F3DA924928, "set blip display",                  "ii",        '-', kPlugIn},
    {0x234CDD44D996FD9A, "set blip category",                 "ii",        '-', kPlugIn},
    {0xAE2AF67E9D9AF65D, "set blip coordinates",              "ifff",      '-', kPlugIn},
    {0xDF735600A4696DAF, "set blip sprite",                   "ii",        '-', kPlugIn},
    {0xF87683CDF73C3F6E, "set blip rotation",                 "ii",        '-', kPlugIn},
    {0x127DE7B20C60A6A3, "set blip name to player name",      "ii",        '-', kPlugIn},
    {0x45FF974EEE1C8734, "set blip alpha",                    "ii",        '-', kPlugIn},
    {0x03D7FB09E75D6B7E, "set blip colour",                   "ii",        '-', kPlugIn},
    {0xA6DB27D19ECBB7DA, "blip exists",                       "i",         'b', kPlugIn},
    {0x86A652570E5F25DD, "remove blip",                       "h",         '-', kPlugIn},
    // ---- obituaries ----
    {0x42B2DAA6B596F5F8, "network entity killer of player",   "io",        'i', kPlugIn},
    {0x524AC5ECEA15343E, "entity is a ped",                   "i",         'b', kPlugIn},
    {0x04A2A40C73395041, "ped from entity",                   "i",         'i', kPlugIn},
    {0x12534C348C6CB68B, "ped is a player",                   "i",         'b', kPlugIn},
    {0x6C0E2E0125610278, "network player index from ped",     "i",         'i', kPlugIn},
    // ---- the real screen and script gfx alignment ----
    {0xF1307EF624A80D87, "aspect ratio",                      "b",         'f', kHostOnly},
    {0xBAF107B6BB2C97F0, "safe zone size",                    "",          'f', kHostOnly},
    {0x873C9F3104101DD3, "actual screen resolution",          "oo",        '-', kHostOnly},
    {0xB8A850F20A067EB6, "set script gfx align",              "ii",        '-', kPlugIn},
    {0xF5A2C681787E579D, "set script gfx align params",       "ffff",      '-', kPlugIn},
    {0xE3A3DB414A373DAB, "reset script gfx align",            "",          '-', kPlugIn},
    {0x6DD8F5AA635EB4B2, "get script gfx align position",     "ffFF",      '-', kHostOnly},
    // clang-format on
};

constexpr size_t kNativeCount = std::size(kNativeSignatures);

// ---- reading the table ------------------------------------------------------------------------

// The kind of value a slot holds: a slot that must hold the game's own value is an int or a bool.
constexpr char SlotKind(char kind) { return kind == 'z' ? 'i' : kind == 'n' ? 'b' : kind; }

// The kind the game reads slot `index` of the native as.
constexpr char GameKind(const NativeSignature& native, size_t index) {
    return native.gameArgs != nullptr ? native.gameArgs[index] : SlotKind(native.args[index]);
}

constexpr size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

constexpr bool HasLetter(const char* letters, char letter) {
    for (; *letters != '\0'; ++letters) {
        if (*letters == letter) return true;
    }
    return false;
}

// The row of a hash; null when the table has none.
constexpr const NativeSignature* FindSignature(uint64_t hash) {
    for (const NativeSignature& native : kNativeSignatures) {
        if (native.hash == hash) return &native;
    }
    return nullptr;
}

// The index of the row with this role; -1 when the table has none.
constexpr int SignatureIndexOfRole(const char* role) {
    for (size_t i = 0; i < kNativeCount; ++i) {
        if (SameText(kNativeSignatures[i].role, role)) return static_cast<int>(i);
    }
    return -1;
}

// The most argument slots a native of the table reads.
constexpr size_t WidestNative() {
    size_t widest = 0;
    for (const NativeSignature& native : kNativeSignatures) {
        if (TextLength(native.args) > widest) widest = TextLength(native.args);
    }
    return widest;
}
constexpr size_t kWidestNative = WidestNative();

// ---- the table's own rules, checked when it compiles ------------------------------------------

constexpr bool HashesAreUnique() {
    for (size_t i = 0; i < kNativeCount; ++i) {
        for (size_t j = i + 1; j < kNativeCount; ++j) {
            if (kNativeSignatures[i].hash == kNativeSignatures[j].hash) return false;
        }
    }
    return true;
}

constexpr bool RolesAreUnique() {
    for (size_t i = 0; i < kNativeCount; ++i) {
        if (SignatureIndexOfRole(kNativeSignatures[i].role) != static_cast<int>(i)) return false;
    }
    return true;
}

// Every letter is a kind of the header comment; a game form reads exactly the slots pushed.
constexpr bool KindsAreKnown() {
    for (const NativeSignature& native : kNativeSignatures) {
        for (const char* kind = native.args; *kind != '\0'; ++kind) {
            if (!HasLetter("iufbsznoFVh", *kind)) return false;
        }
        if (!HasLetter("-iubBfsv", native.result)) return false;
        if (native.gameArgs != nullptr && TextLength(native.gameArgs) != TextLength(native.args)) return false;
    }
    return true;
}

static_assert(HashesAreUnique(), "a hash is in the native table twice");
static_assert(RolesAreUnique(), "two natives of the table share a role");
static_assert(KindsAreKnown(), "a native of the table has a kind letter the header comment does not list");

}  // namespace sim
