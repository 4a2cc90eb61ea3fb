// The native call convention: how the plug-in's CallNative fills argument slots and reads result
// slots, and how both hosts (the simulated host and the benchmarks' minimal host) refuse calls that
// break the convention.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/native_answers.h"
#include "host/natives.h"
#include "session_world.h"
#include "sim/natives/argument_check.h"

namespace {

uint64_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

const sim::TraceEntry* FindLine(const sim::Host& host, const std::string& line) {
    for (const sim::TraceEntry& entry : host.trace()) {
        if (entry.line == line) return &entry;
    }
    return nullptr;
}

// ---- the plug-in's wrappers, run from a script of the test's own ----

struct Observed {
    int32_t playerIndex = 0;
    uint8_t session = 0;
    bool pauseMenu = true;
    bool exists = false;
    float heading = 0;
    NativeVector3 coords{};
    std::string zone;
    uint32_t street = 0, crossing = 0;
    uint32_t modelHash = 0;
};

Observed observed;

void CallingScript() {
    observed.playerIndex = GetLocalPlayerIndex();
    observed.session = GetSessionActiveByte();
    observed.pauseMenu = IsPauseMenuActive();
    observed.exists = DoesEntityExist(-1);
    observed.heading = GetEntityHeading(-1);
    observed.coords = GetEntityCoords(-1);
    const char* zone = GetZoneCodeAt(1.5f, -2.0f, 3.0f);
    observed.zone = zone != nullptr ? zone : "(null)";
    GetStreetHashesAt(1.5f, -2.0f, 3.0f, &observed.street, &observed.crossing);
    observed.modelHash = GetHashKey("RHINO");
    SetTextScale(0.0f, 0.384f);
    SetTextCentring(true);
    SetTextCentring(false);
    for (;;) scriptWait(0);
}

class CallConvention : public ::testing::Test {
protected:
    void SetUp() override {
        observed = Observed{};
        sim::World& world = host.world;
        world.localPlayerIndex = -5;
        world.sessionByte = 200;
        world.peds[-1].heading = 90.25f;
        world.peds[-1].pos = {1.5f, -2.0f, 3.0f};
        world.zoneCode = std::string("AIRP");
        world.streetHash = 0xDEADBEEF;
        world.crossingHash = 7;
        host.Register(nullptr, CallingScript);
        ASSERT_TRUE(host.RunFrame()) << host.error();
    }
    sim::Host host;
};

TEST_F(CallConvention, ResultsAreReadFromTheirBitsOnly) {
    // The host fills every result slot above the bits its kind defines; the wrappers must not care.
    EXPECT_EQ(observed.playerIndex, -5);
    EXPECT_EQ(observed.session, 200);
    EXPECT_FALSE(observed.pauseMenu);
    EXPECT_TRUE(observed.exists);
    EXPECT_EQ(observed.heading, 90.25f);
    EXPECT_EQ(observed.coords.x, 1.5f);
    EXPECT_EQ(observed.coords.y, -2.0f);
    EXPECT_EQ(observed.coords.z, 3.0f);
    EXPECT_EQ(observed.zone, "AIRP");
    EXPECT_EQ(observed.street, 0xDEADBEEFu);
    EXPECT_EQ(observed.crossing, 7u);
    EXPECT_EQ(observed.modelHash, 0x2EA68690u);

    const sim::TraceEntry* pause = FindLine(host, "pause menu active() -> false");
    ASSERT_NE(pause, nullptr);
    EXPECT_NE(pause->call.result[0] >> 8, 0u) << "the fill above the bool byte was there";
}

struct SlotCase {
    const char* line;
    int arg;
    uint64_t slot;
};

TEST_F(CallConvention, ArgumentsGoIntoZeroExtendedSlots) {
    const SlotCase cases[] = {
        // clang-format off
        {"entity exists(-1) -> true", 0, 0x00000000FFFFFFFFull},     // never sign-extended
        {"set text scale(0, 0.384000003)", 0, 0},                    // float 0.0
        {"set text scale(0, 0.384000003)", 1, FloatBits(0.384f)},    // the float's own bits, not a double
        {"set text centring(true)", 0, 1},
        {"set text centring(false)", 0, 0},
        {"street name hashes at coordinates(1.5, -2, 3, &->3735928559, &->7)", 1, FloatBits(-2.0f)},
        // clang-format on
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.line);
        const sim::TraceEntry* entry = FindLine(host, c.line);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->call.args[c.arg], c.slot);
    }
    const sim::TraceEntry* hashKey = FindLine(host, "hash key of string(\"RHINO\") -> 782665360");
    ASSERT_NE(hashKey, nullptr) << "text arguments are copied into the trace";
    EXPECT_EQ(hashKey->texts, std::vector<std::string>{"RHINO"});
}

// ---- the same rules seen in the real plug-in's calls ----

class PluginCalls : public simtest::PluginTest {};

TEST_F(PluginCalls, HandleOfMinusOneIsPushedZeroExtended) {
    host().world.localPed = -1;
    host().world.peds = {{-1, sim::Ped{}}};
    ASSERT_TRUE(StartFrameLoop());
    const auto exists = Calls("entity exists");
    ASSERT_FALSE(exists.empty());
    EXPECT_EQ(exists.front()->line, "entity exists(-1) -> true");
    EXPECT_EQ(exists.front()->call.args[0], 0x00000000FFFFFFFFull);
    EXPECT_FALSE(host().lastFrame().texts.empty()) << "the player can act: the panel is drawn";
}

TEST_F(PluginCalls, NoticeScaleIsPushedAsFloatBits) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(PressDisplayHotkey());
    bool found = false;
    for (const sim::TraceEntry* entry : Calls("set text scale", mark)) {
        if (entry->call.args[1] != FloatBits(0.384f)) continue;
        found = true;
        EXPECT_EQ(entry->call.args[0], 0u);
    }
    EXPECT_TRUE(found) << "the notice sets its scale 0.384";
}

TEST_F(PluginCalls, SessionByteIsReadFromTheLowestByte) {
    host().world.sessionByte = 1;
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(Calls("network player active", mark).size(), 64u) << "online: two blip passes";
}

TEST_F(PluginCalls, TraceNeverShowsAnAddress) {
    host().world.sessionByte = 1;
    host().world.players[2] = {1, 40, -1, std::string("Ann"), std::string("Ann"), 0};
    host().world.peds[40].player = 2;
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(Run(3));
    const std::vector<std::string> first = TraceLines();

    NewHost(simtest::StandardWorld());
    host().world.sessionByte = 1;
    host().world.players[2] = {1, 40, -1, std::string("Ann"), std::string("Ann"), 0};
    host().world.peds[40].player = 2;
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(Run(3));
    EXPECT_EQ(TraceLines(), first) << "a second run with other addresses gives the same trace";
    for (const std::string& line : first) {
        EXPECT_EQ(line.find("0x"), std::string::npos) << line;
    }
}

// ---- calls that break the convention fail the run loudly ----

int stepsAfterTheBadCall = 0;

struct MisuseCase {
    const char* name;
    void (*script)();
    const char* message;
};

void Finish() {
    ++stepsAfterTheBadCall;
    for (;;) scriptWait(0);
}

constexpr uint64_t kEntityExists = 0x7239B21A38F536BA;

// clang-format off
const MisuseCase kMisuseCases[] = {
    {"unknown hash", [] { nativeInit(0x1234); nativeCall(); Finish(); },
     "unknown native 0x0000000000001234 called with 0 arguments in call 1 of frame 1"},
    {"more than 16 pushes", [] { nativeInit(kEntityExists); for (int i = 0; i < 17; ++i) nativePush64(0); Finish(); },
     "more than 16 arguments pushed for 0x7239B21A38F536BA in call 1 of frame 1"},
    {"push without init", [] { nativePush64(1); Finish(); },
     "nativePush64 without nativeInit"},
    {"call without init", [] { nativeCall(); Finish(); },
     "nativeCall without nativeInit"},
    {"init while a call is open", [] { nativeInit(kEntityExists); nativeInit(kEntityExists); Finish(); },
     "nativeInit(0x7239B21A38F536BA) while the call of 0x7239B21A38F536BA is still open"},
    {"wait while a call is open", [] { nativeInit(kEntityExists); scriptWait(0); Finish(); },
     "scriptWait during the open call"},
    {"text drawn without a command", [] { EndScreenTextDraw(0.5f, 0.5f); Finish(); },
     "a text draw without the matching begin command"},
    {"text command of another kind", [] { BeginScreenText("CELL"); Finish(); },
     "a text command must be opened with \"STRING\""},
    {"alignment left set at the end of a frame", [] { SetScriptGfxAlign('L', 'B'); scriptWait(0); Finish(); },
     "the script gfx alignment is still set at the end of the frame"},
    {"alignment params left set", [] { SetScriptGfxAlignParams(0, 0, 0.1f, 0); scriptWait(0); Finish(); },
     "the script gfx alignment is still set at the end of the frame"},
    {"alignment letter unknown", [] { SetScriptGfxAlign('l', 'B'); Finish(); },
     "set script gfx align with 'l' (108), 'B' (66): horizontal must be 'L', 'R', 'C' or 'I'"},
    {"script entry returns", [] { ++stepsAfterTheBadCall; ++stepsAfterTheBadCall; },
     "the script entry returned"},
};
// clang-format on

TEST(HostChecks, CallsBreakingTheConventionFailTheRun) {
    for (const MisuseCase& c : kMisuseCases) {
        SCOPED_TRACE(c.name);
        stepsAfterTheBadCall = 0;
        sim::Host host;
        host.Register(nullptr, c.script);
        EXPECT_FALSE(host.RunFrame());
        EXPECT_NE(host.error().find(c.message), std::string::npos) << host.error();
        const int steps = stepsAfterTheBadCall;
        EXPECT_FALSE(host.RunFrames(3)) << "a failed run stays failed";
        EXPECT_EQ(stepsAfterTheBadCall, steps) << "the script is not resumed after the failure";
        EXPECT_EQ(host.frames().size(), 1u);
    }
    EXPECT_EQ(stepsAfterTheBadCall, 2) << "the returning script ran to its end";
}

// ---- one argument check, the same verdict from both hosts ----

// A fault planted in a copy of a well-formed call: the copy pushes `pushed` slots, slot `slot`
// (from 0; -1 for none) holding `value`. The slots the copy does not push still hold the
// well-formed call's values, as a host's reused argument buffer does.
struct PlantedFault {
    const char* fault;
    uint64_t hash;
    std::vector<uint64_t> wellFormed;
    int pushed;
    int slot;
    uint64_t value;
    const char* verdict;
};

int32_t outWidth = 0, outHeight = 0;
const uint64_t kOutWidth = reinterpret_cast<uintptr_t>(&outWidth);
const uint64_t kOutHeight = reinterpret_cast<uintptr_t>(&outHeight);
const std::vector<uint64_t> kRectangle = {
    FloatBits(0.1f), FloatBits(0.2f), FloatBits(0.3f), FloatBits(0.4f), 255, 128, 0, 200, 0};

const PlantedFault kPlantedFaults[] = {
    {"short push",
     0xBE6B23FFA53FB442,
     {10, 20, 30, 40},
     3,
     -1,
     0,
     "native 0xBE6B23FFA53FB442 (set text colour) reads argument slot 4, which call 2 of frame 1 did not push "
     "(3 of 4 pushed; the slot still holds 0x0000000000000028 from before)"},
    {"extra push",
     kEntityExists,
     {7},
     2,
     1,
     5,
     "native 0x7239B21A38F536BA (entity exists) reads no argument slot 2, which call 2 of frame 1 pushed "
     "(2 pushed, 1 read)"},
    {"sign-extended int", 0x3A618A217E5154F0, kRectangle, 9, 4, ~0ull,
     "native 0x3A618A217E5154F0 (draw rectangle) argument slot 5 of call 2 of frame 1 holds 0xFFFFFFFFFFFFFFFF: "
     "a 32-bit value must be zero-extended"},
    {"bool 2",
     0xC02F4DBFB51D988B,
     {1},
     1,
     0,
     2,
     "native 0xC02F4DBFB51D988B (set text centring) argument slot 1 of call 2 of frame 1 holds 0x0000000000000002: "
     "a bool must be 0 or 1 in the lowest byte"},
    {"null out-pointer",
     0x888D57E407E63624,
     {kOutWidth, kOutHeight},
     2,
     0,
     0,
     "native 0x888D57E407E63624 (screen resolution query) argument slot 1 of call 2 of frame 1 holds "
     "0x0000000000000000: the host cannot write through a null pointer"},
    {"trailing value 1", 0x3A618A217E5154F0, kRectangle, 9, 8, 1,
     "native 0x3A618A217E5154F0 (draw rectangle) argument slot 9 of call 2 of frame 1 holds 0x0000000000000001: "
     "the game's own scripts pass false here"},
};

// The calls the script makes, set before each run (the script itself keeps nothing on its stack,
// which a failed run abandons).
struct PlantedCalls {
    uint64_t hash;
    uint64_t wellFormed[sim::kMaxNativeArgs];
    int wellFormedCount;
    uint64_t copy[sim::kMaxNativeArgs];
    int pushed;
};
PlantedCalls planted;

void Plant(const PlantedFault& c) {
    planted = PlantedCalls{};
    planted.hash = c.hash;
    planted.wellFormedCount = static_cast<int>(c.wellFormed.size());
    for (int i = 0; i < planted.wellFormedCount; ++i) planted.wellFormed[i] = planted.copy[i] = c.wellFormed[i];
    if (c.slot >= 0) planted.copy[c.slot] = c.value;
    planted.pushed = c.pushed;
}

void PushAndCall(const uint64_t* slots, int count) {
    nativeInit(planted.hash);
    for (int i = 0; i < count; ++i) nativePush64(slots[i]);
    nativeCall();
}

void PlantingScript() {
    PushAndCall(planted.wellFormed, planted.wellFormedCount);
    PushAndCall(planted.copy, planted.pushed);
    Finish();
}

TEST(ArgumentCheck, BothHostsGiveTheSameVerdictOnEachPlantedFault) {
    bench::PrepareRows();
    for (const PlantedFault& c : kPlantedFaults) {
        SCOPED_TRACE(c.fault);
        Plant(c);
        sim::Host host;
        host.Register(nullptr, PlantingScript);
        EXPECT_FALSE(host.RunFrame());
        EXPECT_EQ(host.error(), c.verdict) << "the simulated host";

        const bench::NativeRow* row = bench::FindRow(c.hash);
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(bench::CallIsGood(*row, planted.wellFormed, planted.wellFormedCount));
        EXPECT_FALSE(bench::CallIsGood(*row, planted.copy, planted.pushed)) << "the minimal host stops the call";
        EXPECT_EQ(sim::ArgumentFault(*row->native, planted.copy, planted.pushed, {2, 1}).error(), c.verdict)
            << "the minimal host";
    }
}

// ---- plug-ins built to push one native in a wrong form ----

struct WrongForm {
    const char* plugin;  // KOV-wrong-<plugin>.so, built by tests/CMakeLists.txt
    uint64_t hash;
    const char* role;
    int slot;
    bool leftOut;  // the trailing argument left out; otherwise pushed as 1 / true
};

const WrongForm kWrongForms[] = {
    // clang-format off
    {"entity-dead-short", 0x5F9532F3B5CC2551, "entity dead",                 2, true},
    {"text-draw-short",   0xCD015E5BB0D96A57, "end text command: draw text", 3, true},
    {"draw-rect-short",   0x3A618A217E5154F0, "draw rectangle",              9, true},
    {"entity-dead-one",   0x5F9532F3B5CC2551, "entity dead",                 2, false},
    {"text-draw-one",     0xCD015E5BB0D96A57, "end text command: draw text", 3, false},
    {"draw-rect-one",     0x3A618A217E5154F0, "draw rectangle",              9, false},
    // clang-format on
};

class WrongForms : public simtest::PluginTest {
protected:
    static constexpr int kFrames = 20;

    // Online with the player list held open beside the panel: every pass calls all three.
    static sim::World ListWorld() {
        sim::World world = simtest::SessionWorld();
        simtest::AddPlayer(world, 3, 30, "Rook");
        world.keysDown[simtest::kAltKey] = true;
        world.radarControlPressed = true;
        return world;
    }

    // Frame and position in the frame (from 1) of the native's first call in a run of the
    // current plug-in.
    std::string FirstCallOf(uint64_t hash) {
        NewHost(ListWorld());
        if (!host().Load(simtest::PluginPath()) || !host().RunFrames(kFrames))
            return "the run failed: " + host().error();
        int frame = 0, position = 0;
        for (const sim::TraceEntry& entry : host().trace()) {
            if (entry.isWait) continue;
            position = entry.frame == frame ? position + 1 : 1;
            frame = entry.frame;
            if (entry.call.hash == hash)
                return "call " + std::to_string(position) + " of frame " + std::to_string(frame);
        }
        return "never called";
    }
};

TEST_F(WrongForms, EachFailsTheRunAtItsCallNamingTheNativeAndTheSlot) {
    WriteIni("");
    for (const WrongForm& c : kWrongForms) {
        SCOPED_TRACE(c.plugin);
        const std::string call = FirstCallOf(c.hash);
        char native[96];
        std::snprintf(native, sizeof native, "native 0x%016" PRIX64 " (%s)", c.hash, c.role);
        const std::string slot = std::to_string(c.slot);
        const std::string expected =
            native + (c.leftOut ? " reads argument slot " + slot + ", which " + call + " did not push"
                                : " argument slot " + slot + " of " + call + " holds 0x0000000000000001: the game's");

        NewHost(ListWorld());
        ASSERT_TRUE(host().Load(std::string(KOV_WRONG_FORM_DIR) + "/KOV-wrong-" + c.plugin + ".so")) << host().error();
        EXPECT_FALSE(host().RunFrames(kFrames));
        EXPECT_EQ(host().error().rfind(expected, 0), 0u) << host().error() << "\nexpected: " << expected;
    }
}

TEST(HostChecks, SecondRegistrationFails) {
    sim::Host host;
    host.Register(nullptr, [] { Finish(); });
    host.Register(nullptr, [] { Finish(); });
    EXPECT_NE(host.error().find("already registered"), std::string::npos) << host.error();
}

}  // namespace
