// Scenario parsing and world patches. One walk over a patch both validates and applies it: the
// parser runs it against a scratch world to collect every problem, the runner against the real one.
// The limits of sim/input_limits.h are enforced here, where a scenario enters: nesting depth before
// the parser builds anything, numbers as the plug-in will take them, and the document's own text
// cut short in messages.
#include "sim/scenario/scenario.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <utility>

#include "sim/game/host_hash.h"
#include "sim/game/trace_line.h"
#include "sim/game/virtual_keys.h"
#include "sim/ini/ini_text.h"
#include "sim/input_limits.h"
#include "sim/platform/files.h"

namespace sim {

namespace {

using nlohmann::json;

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kUint32Max = std::numeric_limits<uint32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

// Where problems go while walking a document: the first kMaxListedProblems are kept, the rest
// only counted, so a document of many problems takes no more memory than one of a few.
struct Walk {
    std::string file;
    std::vector<std::string> errors;
    size_t problems = 0;

    void Error(const std::string& path, const std::string& what) {
        if (problems++ < kMaxListedProblems) errors.push_back(file + ": " + (path.empty() ? "" : path + ": ") + what);
    }
};

// A document's own text in a message: a member name as written when it is short and plain, quoted
// and cut otherwise; a value as JSON on one line in ASCII, cut, or only its kind when it is a
// container.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > kMaxQuotedChars) return false;
    for (const char c : name) {
        if (c < 0x21 || c > 0x7E || c == '.' || c == '"') return false;
    }
    return true;
}

std::string Shown(const json& value) {
    if (value.is_object()) return "an object";
    if (value.is_array()) return "an array";
    const std::string text = value.dump(-1, ' ', true, json::error_handler_t::replace);
    if (text.size() <= kMaxQuotedChars) return text;
    return text.substr(0, kMaxQuotedChars) + "... (" + std::to_string(text.size()) + " characters)";
}

std::string Member(const std::string& path, const std::string& name) {
    const std::string shown = IsPlainName(name) ? name : QuoteInput(name);
    return path.empty() ? shown : path + "." + shown;
}

std::string Element(const std::string& path, size_t index) { return path + "[" + std::to_string(index) + "]"; }

std::string Got(const json& value) { return std::string(", got ") + value.type_name(); }

// ---- values ----

bool ReadBool(Walk& walk, const json& value, const std::string& path, bool& out) {
    if (!value.is_boolean()) {
        walk.Error(path, "expected true or false" + Got(value));
        return false;
    }
    out = value.get<bool>();
    return true;
}

// `why` follows a range message: the reason for the range where it is not plain.
bool ReadInteger(Walk& walk, const json& value, const std::string& path, int64_t low, int64_t high, int64_t& out,
                 const std::string& why = "") {
    // A whole number past 64 bits arrives as a floating-point one: it is an integer, just too large.
    if (value.is_number_float() && std::trunc(value.get<double>()) == value.get<double>() &&
        std::fabs(value.get<double>()) >= 0x1p63) {
        walk.Error(path, std::string(value.get<double>() > 0 ? "too large" : "too small") + " for the range " +
                             std::to_string(low) + ".." + std::to_string(high) + why);
        return false;
    }
    if (!value.is_number_integer()) {
        walk.Error(path, "expected an integer" + Got(value));
        return false;
    }
    // JSON integers arrive signed or unsigned; an unsigned one past int64 is simply out of range.
    const bool fitsSigned = !value.is_number_unsigned() || value.get<uint64_t>() <= static_cast<uint64_t>(kInt64Max);
    const int64_t number = fitsSigned ? value.get<int64_t>() : 0;
    if (!fitsSigned || number < low || number > high) {
        walk.Error(path, Shown(value) + " is out of range " + std::to_string(low) + ".." + std::to_string(high) + why);
        return false;
    }
    out = number;
    return true;
}

template <typename T>
void ReadInt(Walk& walk, const json& value, const std::string& path, int64_t low, int64_t high, T& out) {
    int64_t number = 0;
    if (ReadInteger(walk, value, path, low, high, number)) out = static_cast<T>(number);
}

void ReadInt32(Walk& walk, const json& value, const std::string& path, int32_t& out) {
    ReadInt(walk, value, path, kInt32Min, kInt32Max, out);
}

// A number the plug-in receives as a float: finite, inside the float range, and within limit.
void ReadFloat(Walk& walk, const json& value, const std::string& path, float& out, double limit = kMaxFloatValue) {
    if (!value.is_number()) return walk.Error(path, "expected a number" + Got(value));
    const double number = value.get<double>();
    if (!IsFloatValue(number) || std::fabs(number) > limit) {
        char range[64];
        std::snprintf(range, sizeof range, "-%.9g..%.9g", limit, limit);
        return walk.Error(path, Shown(value) + " is out of range " + range);
    }
    out = static_cast<float>(number);
}

void ReadHeading(Walk& walk, const json& value, const std::string& path, float& out) {
    ReadFloat(walk, value, path, out, kMaxHeadingDegrees);
}

void ReadVec3(Walk& walk, const json& value, const std::string& path, Vec3& out) {
    if (!value.is_array() || value.size() != 3) return walk.Error(path, "expected [x, y, z]" + Got(value));
    ReadFloat(walk, value[0], Element(path, 0), out.x);
    ReadFloat(walk, value[1], Element(path, 1), out.y);
    ReadFloat(walk, value[2], Element(path, 2), out.z);
}

void ReadString(Walk& walk, const json& value, const std::string& path, std::string& out) {
    if (!value.is_string()) return walk.Error(path, "expected a string" + Got(value));
    out = value.get<std::string>();
}

void ReadHostText(Walk& walk, const json& value, const std::string& path, HostText& out) {
    if (value.is_null()) {
        out = std::nullopt;
        return;
    }
    if (!value.is_string()) return walk.Error(path, "expected a string or null" + Got(value));
    out = value.get<std::string>();
}

// A map key that names a number. Decimal keys are written in their shortest form ("7", "-12",
// "0"; never "007" or "-0"), so each number has one key and a number named twice is a key given
// twice. With hex, "0x" and 1 to 8 hexadecimal digits name a 32-bit hash as well (hashes are often
// written padded to 8 digits).
enum class KeyForm { Number, NotANumber, LeadingZeros, OutOfRange };

constexpr const char* kLeadingZerosRule = "the key must be written without leading zeros or -0";

KeyForm ParseKey(const std::string& key, bool hex, int64_t low, int64_t high, int64_t& out) {
    const auto digitsFrom = [&key](size_t from, bool hexDigits) {
        for (size_t i = from; i < key.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(key[i]);
            if (!(hexDigits ? std::isxdigit(c) : std::isdigit(c))) return false;
        }
        return key.size() > from;
    };
    if (hex && key.size() > 2 && key[0] == '0' && (key[1] == 'x' || key[1] == 'X')) {
        if (key.size() > 2 + 8 || !digitsFrom(2, true)) return KeyForm::NotANumber;
        out = std::stoll(key.substr(2), nullptr, 16);
    } else {
        const size_t first = (!key.empty() && key[0] == '-') ? 1 : 0;
        if (!digitsFrom(first, false)) return KeyForm::NotANumber;
        if (key[first] == '0' && (key.size() > first + 1 || first == 1)) return KeyForm::LeadingZeros;
        // Without leading zeros, more digits than int64 holds are out of any range a key has.
        if (key.size() - first > 18) return KeyForm::OutOfRange;
        out = std::stoll(key);
    }
    return out >= low && out <= high ? KeyForm::Number : KeyForm::OutOfRange;
}

// ---- objects: a table of fields per record ----

template <typename Target>
struct Field {
    const char* name;
    void (*apply)(Walk& walk, const json& value, const std::string& path, Target& target);
};

template <typename Target, size_t N>
void ApplyFields(Walk& walk, const json& object, const std::string& path, const Field<Target> (&fields)[N],
                 Target& target) {
    if (!object.is_object()) return walk.Error(path, "expected an object" + Got(object));
    for (const auto& [name, value] : object.items()) {
        const Field<Target>* field = nullptr;
        for (const Field<Target>& candidate : fields) {
            if (name == candidate.name) field = &candidate;
        }
        if (field == nullptr) {
            std::string known;
            for (const Field<Target>& candidate : fields)
                known += (known.empty() ? "" : ", ") + std::string(candidate.name);
            walk.Error(Member(path, name), "unknown field (known: " + known + ")");
            continue;
        }
        field->apply(walk, value, Member(path, name), target);
    }
}

// Entries of a map keyed by number; a null entry erases, an object patches (created if new).
template <typename Record, typename Key, typename Patch>
void ApplyMap(Walk& walk, const json& object, const std::string& path, int64_t low, int64_t high,
              std::map<Key, Record>& map, Patch patch) {
    if (!object.is_object()) return walk.Error(path, "expected an object" + Got(object));
    for (const auto& [key, value] : object.items()) {
        int64_t number = 0;
        const KeyForm form = ParseKey(key, false, low, high, number);
        if (form != KeyForm::Number) {
            walk.Error(Member(path, key),
                       form == KeyForm::LeadingZeros
                           ? kLeadingZerosRule
                           : "the key must be a number in " + std::to_string(low) + ".." + std::to_string(high));
            continue;
        }
        if (value.is_null()) {
            map.erase(static_cast<Key>(number));
            continue;
        }
        patch(walk, value, Member(path, key), map[static_cast<Key>(number)]);
    }
}

// ---- records ----

const Field<Ped> kPedFields[] = {
    // clang-format off
    {"pos",     [](auto& w, auto& v, auto& p, Ped& t) { ReadVec3(w, v, p, t.pos); }},
    {"heading", [](auto& w, auto& v, auto& p, Ped& t) { ReadHeading(w, v, p, t.heading); }},
    {"dead",    [](auto& w, auto& v, auto& p, Ped& t) { ReadBool(w, v, p, t.dead); }},
    {"dying",   [](auto& w, auto& v, auto& p, Ped& t) { ReadBool(w, v, p, t.dying); }},
    {"vehicle", [](auto& w, auto& v, auto& p, Ped& t) { ReadInt32(w, v, p, t.vehicle); }},
    {"player",  [](auto& w, auto& v, auto& p, Ped& t) { ReadInt32(w, v, p, t.player); }},
    // clang-format on
};

struct VehicleKindName {
    const char* name;
    VehicleKind kind;
};

const VehicleKindName kVehicleKinds[] = {
    // clang-format off
    {"car",        VehicleKind::Car},
    {"boat",       VehicleKind::Boat},
    {"submarine",  VehicleKind::Submarine},
    {"helicopter", VehicleKind::Helicopter},
    {"plane",      VehicleKind::Plane},
    {"bike",       VehicleKind::Bike},
    // clang-format on
};

void ReadVehicleKind(Walk& walk, const json& value, const std::string& path, Vehicle& vehicle) {
    if (value.is_string()) {
        for (const VehicleKindName& entry : kVehicleKinds) {
            if (value.get_ref<const std::string&>() == entry.name) {
                vehicle.kind = entry.kind;
                return;
            }
        }
    }
    walk.Error(path, "expected one of car, boat, submarine, helicopter, plane, bike, got " + Shown(value));
}

const Field<Vehicle> kVehicleFields[] = {
    // clang-format off
    {"kind",    ReadVehicleKind},
    {"model",   [](auto& w, auto& v, auto& p, Vehicle& t) { ReadString(w, v, p, t.model); }},
    {"heading", [](auto& w, auto& v, auto& p, Vehicle& t) { ReadHeading(w, v, p, t.heading); }},
    // clang-format on
};

void ReadActiveByte(Walk& walk, const json& value, const std::string& path, NetworkPlayer& player) {
    if (value.is_boolean()) {
        player.activeByte = value.get<bool>() ? 1 : 0;
        return;
    }
    ReadInt(walk, value, path, 0, 255, player.activeByte);
}

const Field<NetworkPlayer> kPlayerFields[] = {
    // clang-format off
    {"active",      ReadActiveByte},
    {"ped",         [](auto& w, auto& v, auto& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.ped); }},
    {"team",        [](auto& w, auto& v, auto& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.team); }},
    {"networkName", [](auto& w, auto& v, auto& p, NetworkPlayer& t) { ReadHostText(w, v, p, t.networkName); }},
    {"name",        [](auto& w, auto& v, auto& p, NetworkPlayer& t) { ReadHostText(w, v, p, t.name); }},
    {"killer",      [](auto& w, auto& v, auto& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.killer); }},
    // clang-format on
};

// ---- the world ----

// Registers a street name under its host hash and returns the hash the player is put on.
uint32_t RegisterStreet(World& world, const HostText& name) {
    const uint32_t hash = name ? HostHash(*name) : kNullNameStreetHash;
    world.streetNames[hash] = name;
    return hash;
}

void ReadStreet(Walk& walk, const json& value, const std::string& path, World& world) {
    HostText name;
    const size_t errors = walk.problems;
    ReadHostText(walk, value, path, name);
    if (walk.problems != errors) return;
    world.streetHash = RegisterStreet(world, name);
    world.named.streets = true;
}

void ReadCrossing(Walk& walk, const json& value, const std::string& path, World& world) {
    HostText name;
    const size_t errors = walk.problems;
    ReadHostText(walk, value, path, name);
    if (walk.problems != errors) return;
    world.crossingHash = (name && name->empty()) ? 0 : RegisterStreet(world, name);
    world.named.streets = true;
}

void ReadScreen(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array() || value.size() != 2) return walk.Error(path, "expected [width, height]" + Got(value));
    ReadInt(walk, value[0], Element(path, 0), kMinReportedScreenSide, kMaxScreenSide, world.screenWidth);
    ReadInt(walk, value[1], Element(path, 1), kMinReportedScreenSide, kMaxScreenSide, world.screenHeight);
}

void ReadResolution(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array() || value.size() != 2) return walk.Error(path, "expected [width, height]" + Got(value));
    ReadInt(walk, value[0], Element(path, 0), kMinScreenWidth, kMaxScreenSide, world.realScreen.width);
    ReadInt(walk, value[1], Element(path, 1), kMinScreenHeight, kMaxScreenSide, world.realScreen.height);
}

void ReadSafeZone(Walk& walk, const json& value, const std::string& path, World& world) {
    float size = 0;
    const size_t errors = walk.problems;
    ReadFloat(walk, value, path, size);
    if (walk.problems != errors) return;
    if (!(size >= kMinSafeZone && size <= kMaxSafeZone)) {
        return walk.Error(path, Shown(value) + " is out of range " + FormatFloat(kMinSafeZone, 6) + ".." +
                                    FormatFloat(kMaxSafeZone, 6));
    }
    world.realScreen.safeZone = size;
}

const Field<World> kDisplayFields[] = {
    {"resolution", ReadResolution},
    {"safeZone", ReadSafeZone},
};

// Unlike the entity maps, a null entry here is a name: the host returns a null pointer for the hash.
void ReadStreetNames(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_object()) return walk.Error(path, "expected an object" + Got(value));
    std::map<int64_t, std::string> keyOf;  // the hash written twice, once in each base, is one key given twice
    for (const auto& [key, name] : value.items()) {
        int64_t hash = 0;
        if (ParseKey(key, true, 0, kUint32Max, hash) != KeyForm::Number) {
            walk.Error(Member(path, key),
                       "the key must be a 32-bit hash: decimal without leading zeros, or 0x and 1 to 8 hexadecimal "
                       "digits");
            continue;
        }
        if (const auto [first, fresh] = keyOf.emplace(hash, key); !fresh) {
            walk.Error(Member(path, key), "the same hash as " + Member(path, first->second));
            continue;
        }
        ReadHostText(walk, name, Member(path, key), world.streetNames[static_cast<uint32_t>(hash)]);
    }
}

const Field<World> kNodeFields[] = {
    {"result", [](auto& w, auto& v, auto& p, World& t) { ReadInt(w, v, p, 0, 255, t.nodeResult); }},
    {"pos", [](auto& w, auto& v, auto& p, World& t) { ReadVec3(w, v, p, t.nodePos); }},
};

// Keys by name (sim/game/virtual_keys.h): alt, ctrl, or a letter or digit.
void ReadKeys(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_object()) return walk.Error(path, "expected an object" + Got(value));
    for (const auto& [name, down] : value.items()) {
        const int code = VirtualKeyCode(name);
        if (code == 0) {
            walk.Error(Member(path, name), "unknown key (known: alt, ctrl, a letter a-z or a digit 0-9)");
            continue;
        }
        ReadBool(walk, down, Member(path, name), world.keysDown[code]);
    }
}

const Field<World> kRadarControlFields[] = {
    {"pressed", [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.radarControlPressed); }},
    {"justReleased", [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.radarControlJustReleased); }},
};

void ReadPlayers(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_object()) return walk.Error(path, "expected an object" + Got(value));
    for (const auto& [key, entry] : value.items()) {
        int64_t slot = 0;
        const KeyForm form = ParseKey(key, false, 0, kPlayerSlots - 1, slot);
        if (form != KeyForm::Number) {
            walk.Error(Member(path, key), form == KeyForm::LeadingZeros
                                              ? kLeadingZerosRule
                                              : "the key must be a player slot 0.." + std::to_string(kPlayerSlots - 1));
            continue;
        }
        ApplyFields(walk, entry, Member(path, key), kPlayerFields, world.players[static_cast<size_t>(slot)]);
    }
}

void ReadRemoveBlips(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array()) return walk.Error(path, "expected an array of blip handles" + Got(value));
    for (size_t i = 0; i < value.size(); ++i) {
        int32_t handle = 0;
        const size_t errors = walk.problems;
        ReadInt32(walk, value[i], Element(path, i), handle);
        if (walk.problems == errors) world.blips.erase(handle);
    }
}

const Field<ControlState> kControlFields[] = {
    {"pressed", [](auto& w, auto& v, auto& p, ControlState& t) { ReadBool(w, v, p, t.pressed); }},
    {"justPressed", [](auto& w, auto& v, auto& p, ControlState& t) { ReadBool(w, v, p, t.justPressed); }},
};

void ReadControls(Walk& walk, const json& value, const std::string& path, World& world) {
    ApplyMap(walk, value, path, 0, kLastControl, world.controls,
             [](Walk& w, const json& v, const std::string& p, ControlState& state) {
                 ApplyFields(w, v, p, kControlFields, state);
             });
}

const Field<World> kWorldFields[] = {
    // clang-format off
    {"screen",           ReadScreen},
    {"display",          [](auto& w, auto& v, auto& p, World& t) { ApplyFields(w, v, p, kDisplayFields, t); }},
    {"localPlayerIndex", [](auto& w, auto& v, auto& p, World& t) { ReadInt32(w, v, p, t.localPlayerIndex); }},
    {"localPed",         [](auto& w, auto& v, auto& p, World& t) { ReadInt32(w, v, p, t.localPed); }},
    {"session",          [](auto& w, auto& v, auto& p, World& t) { ReadInt(w, v, p, 0, 255, t.sessionByte); }},
    {"pauseMenu",        [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.pauseMenu); }},
    {"radarHidden",      [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.radarHidden); }},
    {"street",           ReadStreet},
    {"crossing",         ReadCrossing},
    {"streetNames",      ReadStreetNames},
    {"zone",             [](auto& w, auto& v, auto& p, World& t) { ReadHostText(w, v, p, t.zoneCode); t.named.zone = true; }},
    {"onRoad",           [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.onRoad); t.named.onRoad = true; }},
    {"node",             [](auto& w, auto& v, auto& p, World& t) { ApplyFields(w, v, p, kNodeFields, t); t.named.node = true; }},
    {"sanAndreas",       [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.sanAndreas); }},
    {"islandLoaded",     [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.islandLoaded); }},
    {"keys",             ReadKeys},
    {"radarControl",     [](auto& w, auto& v, auto& p, World& t) { ApplyFields(w, v, p, kRadarControlFields, t); }},
    // clang-format on
    {"peds",
     [](auto& w, auto& v, auto& p, World& t) {
         ApplyMap(w, v, p, kInt32Min, kInt32Max, t.peds, [](Walk& w2, const json& v2, const std::string& p2, Ped& ped) {
             ApplyFields(w2, v2, p2, kPedFields, ped);
         });
     }},
    {"vehicles",
     [](auto& w, auto& v, auto& p, World& t) {
         ApplyMap(w, v, p, kInt32Min, kInt32Max, t.vehicles,
                  [](Walk& w2, const json& v2, const std::string& p2, Vehicle& vehicle) {
                      ApplyFields(w2, v2, p2, kVehicleFields, vehicle);
                  });
     }},
    // clang-format off
    {"players",          ReadPlayers},
    {"removeBlips",      ReadRemoveBlips},
    // Placement mode and the game's HUD hiding.
    {"hudHidden",        [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.hudHidden); }},
    {"cutscenePlaying",  [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.cutscenePlaying); }},
    {"playerSwitch",     [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.playerSwitch); }},
    {"controls",         ReadControls},
    {"windowInFront",    [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.windowInFront); }},
    {"readOnlyFolder",   [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.readOnlyFolder); }},
    {"iniLocked",        [](auto& w, auto& v, auto& p, World& t) { ReadBool(w, v, p, t.iniLocked); }},
    // clang-format on
};

void WalkWorldPatch(Walk& walk, const json& patch, const std::string& path, World& world) {
    if (patch.is_null()) return;
    ApplyFields(walk, patch, path, kWorldFields, world);
}

// ---- the scenario document ----

void ReadIni(Walk& walk, const json& value, const std::string& path, Scenario& scenario) {
    HostText ini;
    ReadHostText(walk, value, path, ini);
    scenario.ini = ini;
}

void ReadIniEncoding(Walk& walk, const json& value, const std::string& path, Scenario& scenario) {
    const std::optional<IniEncoding> encoding =
        value.is_string() ? IniEncodingNamed(value.get<std::string>()) : std::nullopt;
    if (encoding) {
        scenario.iniEncoding = *encoding;
        return;
    }
    std::string names;
    for (const IniEncodingRow& row : kIniEncodings) names += std::string(names.empty() ? "" : ", ") + row.name;
    walk.Error(path, "expected one of " + names + ", got " + Shown(value));
}

// The "ini" text becomes the file's bytes once both fields are read, whatever their order.
void EncodeIni(Walk& walk, Scenario& scenario) {
    if (!scenario.ini) return;
    size_t unwritable = 0;
    std::string bytes = EncodeIniText(*scenario.ini, scenario.iniEncoding, &unwritable);
    if (unwritable != 0) {
        return walk.Error("ini", std::string("the text has characters without a byte of their own in ") +
                                     IniEncodingName(scenario.iniEncoding));
    }
    scenario.ini = std::move(bytes);
}

// The clock's advance per frame, at most what keeps a step within one turn of the 32-bit clock.
void ReadFrameStep(Walk& walk, const json& value, const std::string& path, Scenario& scenario) {
    int64_t step = 0;
    const std::string why = " (the longest step, " + std::to_string(kMaxStepFrames) +
                            " frames, must fit in one turn of the 32-bit millisecond clock)";
    if (ReadInteger(walk, value, path, 0, kMaxFrameStepMs, step, why))
        scenario.frameStepMs = static_cast<uint32_t>(step);
}

// The steps are read as the parser reaches them (DocumentReader); here only their container is checked.
void ReadSteps(Walk& walk, const json& value, const std::string& path, Scenario&) {
    if (!value.is_array()) walk.Error(path, "expected an array of steps" + Got(value));
}

const Field<Scenario> kScenarioFields[] = {
    // clang-format off
    {"description",  [](auto& w, auto& v, auto& p, Scenario& s) { ReadString(w, v, p, s.description); }},
    {"ini",          ReadIni},
    {"iniEncoding",  ReadIniEncoding},
    {"clockStartMs", [](auto& w, auto& v, auto& p, Scenario& s) { ReadInt(w, v, p, 0, kUint32Max, s.clockStartMs); }},
    {"frameStepMs",  ReadFrameStep},
    {"world",        [](Walk&, const json& v, const std::string&, Scenario& s) { s.world = v; }},
    {"steps",        ReadSteps},
    // clang-format on
};

const Field<ScenarioStep> kStepFields[] = {
    // clang-format off
    {"label",  [](auto& w, auto& v, auto& p, ScenarioStep& s) { ReadString(w, v, p, s.label); }},
    {"world",  [](Walk&, const json& v, const std::string&, ScenarioStep& s) { s.world = v; }},
    {"frames", [](auto& w, auto& v, auto& p, ScenarioStep& s) { ReadInt(w, v, p, 1, kMaxStepFrames, s.frames); }},
    // clang-format on
};

ScenarioStep ReadStep(Walk& walk, const json& value, size_t index) {
    ScenarioStep step;
    step.label = "step " + std::to_string(index + 1);
    const std::string path = Element("steps", index);
    ApplyFields(walk, value, path, kStepFields, step);
    if (value.is_object() && !value.contains("frames")) walk.Error(Member(path, "frames"), "missing");
    return step;
}

// ---- the document ----

// Builds the document from the parser's events, as the library's own builder does, except that a
// key given twice in one object is a problem at its path, each element of the top-level "steps"
// array is handed to `take` as soon as it is whole and then dropped (the document never holds more
// than one step), and with keepRest false the other top-level members are not built at all. Each
// event costs the same however much was read before it.
class DocumentReader {
public:
    using Take = std::function<void(const json& element, size_t index)>;
    DocumentReader(Walk& walk, json& document, Take take, bool keepRest)
        : walk_(walk), document_(document), take_(std::move(take)), keepRest_(keepRest) {}

    size_t steps() const { return steps_; }

    bool null() { return Scalar(nullptr); }
    bool boolean(bool value) { return Scalar(value); }
    bool number_integer(json::number_integer_t value) { return Scalar(value); }
    bool number_unsigned(json::number_unsigned_t value) { return Scalar(value); }
    bool number_float(json::number_float_t value, const json::string_t&) { return Scalar(value); }
    bool string(json::string_t& value) { return Scalar(std::move(value)); }
    bool binary(json::binary_t& value) { return Scalar(json::binary(std::move(value))); }
    bool start_object(size_t) { return Open(json::value_t::object); }
    bool start_array(size_t) { return Open(json::value_t::array); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(json::string_t& name) {
        Container& object = open_.back();
        if (object.value != nullptr && object.value->contains(name)) {
            walk_.Error(Member(PathOfOpen(), name), "given more than once");
        }
        object.key = std::move(name);
        return true;
    }

    // The library's own messages, thrown as its builder throws them.
    template <typename Exception>
    bool parse_error(size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    struct Container {
        json* value;  // where it is being built; nullptr when it is not kept
        bool isObject;
        bool isSteps;      // the top-level "steps" array: its elements go to take_
        std::string key;   // an object's member being read
        size_t index = 0;  // an array's element being read
    };

    // Puts a value where the parser is and returns it, or nullptr when it is not kept.
    json* Place(json value) {
        if (open_.empty()) {
            document_ = std::move(value);
            return &document_;
        }
        Container& parent = open_.back();
        if (parent.value == nullptr) return nullptr;
        if (parent.isSteps) {
            step_ = std::move(value);
            return &step_;
        }
        if (!parent.isObject) {
            parent.value->push_back(std::move(value));
            return &parent.value->back();
        }
        if (open_.size() == 1 && !keepRest_ && parent.key != "steps") return nullptr;
        json& member = (*parent.value)[parent.key];
        member = std::move(value);
        return &member;
    }

    // A value is whole: a step goes on, an array moves to its next element.
    void Ended() {
        if (open_.empty()) return;
        Container& parent = open_.back();
        if (parent.isSteps) {
            take_(step_, steps_++);
            step_ = nullptr;
        }
        if (!parent.isObject) ++parent.index;
    }

    bool Scalar(json value) {
        Place(std::move(value));
        Ended();
        return true;
    }

    bool Open(json::value_t kind) {
        const bool isSteps =
            kind == json::value_t::array && open_.size() == 1 && open_[0].isObject && open_[0].key == "steps";
        json* value = Place(json(kind));
        open_.push_back({value, kind == json::value_t::object, isSteps && value != nullptr, {}, 0});
        return true;
    }

    bool Close() {
        open_.pop_back();
        Ended();
        return true;
    }

    // The path of the innermost open container, as the walk names it.
    std::string PathOfOpen() const {
        std::string path;
        for (size_t i = 0; i + 1 < open_.size(); ++i) {
            path = open_[i].isObject ? Member(path, open_[i].key) : Element(path, open_[i].index);
        }
        return path;
    }

    Walk& walk_;
    json& document_;
    Take take_;
    bool keepRest_;
    std::vector<Container> open_;
    json step_;
    size_t steps_ = 0;
};

// Where the text opens more than kMaxNestingDepth brackets at once (outside strings), or npos.
// Checked before any value is built: copying or printing one recurses per level.
size_t TooDeepAt(const std::string& text) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxNestingDepth) return i;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::string::npos;
}

std::string LineOf(const std::string& text, size_t byte) {
    size_t line = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i) line += text[i] == '\n' ? 1 : 0;
    return std::to_string(line);
}

// The parser's own words, without its prefix and position, the text it last read quoted and cut.
std::string ParserDetail(const std::string& what) {
    std::string detail = what.substr(what.find("] ") == std::string::npos ? 0 : what.find("] ") + 2);
    const size_t column = detail.find("column ");
    if (column != std::string::npos && detail.find(": ", column) != std::string::npos) {
        detail = detail.substr(detail.find(": ", column) + 2);
    }
    for (const char* marker : {"last read: '", "parsing '"}) {
        const size_t at = detail.find(marker);
        if (at == std::string::npos) continue;
        const size_t from = at + std::strlen(marker);
        const size_t to = detail.rfind('\'');
        const std::string read =
            detail.substr(from, to >= from && to != std::string::npos ? to - from : std::string::npos);
        return detail.substr(0, at) + std::string(marker, std::strlen(marker) - 2) + " " + QuoteInput(read);
    }
    return detail;
}

// Parses the text into the reader; "file:line: invalid JSON: ..." when it is not JSON or holds a
// number past a double.
Status ParseDocument(const std::string& text, const std::string& fileName, DocumentReader& reader) {
    if (const size_t deep = TooDeepAt(text); deep != std::string::npos) {
        return Failure(fileName + ":" + LineOf(text, deep) + ": nested deeper than " +
                       std::to_string(kMaxNestingDepth) + " levels of brackets");
    }
    try {
        json::sax_parse(text, &reader);
    } catch (const json::parse_error& e) {
        return Failure(fileName + ":" + LineOf(text, e.byte == 0 ? 0 : e.byte - 1) +
                       ": invalid JSON: " + ParserDetail(e.what()));
    } catch (const json::exception& e) {
        return Failure(fileName + ": invalid JSON: " + ParserDetail(e.what()));
    }
    return {};
}

// One line per problem listed, then how many more there were.
std::string Problems(const Walk& walk) {
    std::string text;
    for (const std::string& line : walk.errors) text += (text.empty() ? "" : "\n") + line;
    if (walk.problems > walk.errors.size()) {
        text += "\n" + walk.file + ": ... and " + std::to_string(walk.problems - walk.errors.size()) + " more problems";
    }
    return text;
}

}  // namespace

Result<Scenario> ParseScenario(std::string text, const std::string& fileName) {
    Walk walk{fileName, {}};
    World scratch;  // patches are checked by applying them to a scratch world (a check reads nothing it holds)
    const auto take = [&](const json& element, size_t index) {
        const ScenarioStep step = ReadStep(walk, element, index);
        WalkWorldPatch(walk, step.world, Member(Element("steps", index), "world"), scratch);
    };
    json document;
    DocumentReader reader(walk, document, take, true);
    if (Status parsed = ParseDocument(text, fileName, reader); !parsed) return parsed;

    Scenario scenario;
    scenario.file = fileName;
    scenario.stepCount = reader.steps();
    ApplyFields(walk, document, "", kScenarioFields, scenario);
    EncodeIni(walk, scenario);
    if (document.is_object() && scenario.stepCount == 0) walk.Error("steps", "at least one step is needed");
    WalkWorldPatch(walk, scenario.world, "world", scratch);

    if (walk.problems > 0) return Failure(Problems(walk));
    scenario.document = std::make_shared<const std::string>(std::move(text));
    return scenario;
}

Result<Scenario> LoadScenarioFile(const std::string& path) {
    Result<std::string> text = ReadInputFile(path, kMaxInputFileBytes);
    if (!text) return Failure(path + ": " + text.error());
    return ParseScenario(std::move(*text), path);
}

void ForEachStep(const Scenario& scenario, const std::function<bool(size_t index, const ScenarioStep& step)>& visit) {
    if (!scenario.document) return;
    Walk walk{scenario.file, {}};  // the document was validated; nothing is reported
    bool going = true;
    const auto take = [&](const json& element, size_t index) {
        if (going) going = visit(index, ReadStep(walk, element, index));
    };
    json ignored;
    DocumentReader reader(walk, ignored, take, false);
    (void)ParseDocument(*scenario.document, scenario.file, reader);
}

World InitialWorld(const Scenario& scenario) {
    World world;
    ApplyWorldPatch(scenario.world, world);
    if (!scenario.world.is_object() || !scenario.world.contains("peds")) {
        Ped& ped = world.peds[world.localPed];
        ped.player = world.localPlayerIndex;
    }
    return world;
}

void ApplyWorldPatch(const json& patch, World& world) {
    Walk walk;  // the patch was validated; nothing is reported
    WalkWorldPatch(walk, patch, "world", world);
}

}  // namespace sim
