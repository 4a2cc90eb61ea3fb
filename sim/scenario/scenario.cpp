// Scenario parsing and world patches. One walk over a patch both validates and applies it: the
// parser runs it against a scratch world to collect every problem, the runner against the real one.
#include "sim/scenario/scenario.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "sim/platform/files.h"
#include "sim/host/host_hash.h"
#include "sim/ini/ini_text.h"
#include "sim/host/trace_line.h"
#include "sim/host/virtual_keys.h"

namespace sim {

namespace {

using nlohmann::json;

constexpr int64_t kMaxStepFrames = 10000000;
constexpr int64_t kMaxScreenSide = 1 << 16;
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kUint32Max = std::numeric_limits<uint32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

// Where problems go while walking a document.
struct Walk {
    std::string file;
    std::vector<std::string> errors;

    void Error(const std::string& path, const std::string& what) {
        errors.push_back(file + ": " + (path.empty() ? "" : path + ": ") + what);
    }
};

std::string Member(const std::string& path, const std::string& name) { return path.empty() ? name : path + "." + name; }

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

bool ReadInteger(Walk& walk, const json& value, const std::string& path, int64_t low, int64_t high, int64_t& out) {
    // A whole number past 64 bits arrives as a floating-point one: it is an integer, just too large.
    if (value.is_number_float() && std::trunc(value.get<double>()) == value.get<double>() &&
        std::fabs(value.get<double>()) >= 0x1p63) {
        walk.Error(path, std::string(value.get<double>() > 0 ? "too large" : "too small") + " for the range " +
                             std::to_string(low) + ".." + std::to_string(high));
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
        walk.Error(path, value.dump() + " is out of range " + std::to_string(low) + ".." + std::to_string(high));
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

void ReadFloat(Walk& walk, const json& value, const std::string& path, float& out) {
    if (!value.is_number()) return walk.Error(path, "expected a number" + Got(value));
    out = value.get<float>();
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

// A map key that names a number: decimal, or hexadecimal with 0x when hex is allowed.
bool ParseKey(const std::string& key, bool hex, int64_t low, int64_t high, int64_t& out) {
    const bool isHex = hex && key.size() > 2 && key[0] == '0' && (key[1] == 'x' || key[1] == 'X');
    const std::string digits = isHex ? key.substr(2) : key;
    const size_t first = (!isHex && !digits.empty() && digits[0] == '-') ? 1 : 0;
    if (digits.size() <= first || digits.size() > 12) return false;
    for (size_t i = first; i < digits.size(); ++i) {
        if (!(isHex ? std::isxdigit(static_cast<unsigned char>(digits[i])) : std::isdigit(static_cast<unsigned char>(digits[i])))) {
            return false;
        }
    }
    out = std::stoll(digits, nullptr, isHex ? 16 : 10);
    return out >= low && out <= high;
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
            for (const Field<Target>& candidate : fields) known += (known.empty() ? "" : ", ") + std::string(candidate.name);
            walk.Error(Member(path, name), "unknown field (known: " + known + ")");
            continue;
        }
        field->apply(walk, value, Member(path, name), target);
    }
}

// Entries of a map keyed by number; a null entry erases, an object patches (created if new).
template <typename Record, typename Key, typename Patch>
void ApplyMap(Walk& walk, const json& object, const std::string& path, bool hexKeys, int64_t low, int64_t high,
              std::map<Key, Record>& map, Patch patch) {
    if (!object.is_object()) return walk.Error(path, "expected an object" + Got(object));
    for (const auto& [key, value] : object.items()) {
        int64_t number = 0;
        if (!ParseKey(key, hexKeys, low, high, number)) {
            walk.Error(Member(path, key), "the key must be a number in " + std::to_string(low) + ".." + std::to_string(high));
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
    {"pos",     [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadVec3(w, v, p, t.pos); }},
    {"heading", [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadFloat(w, v, p, t.heading); }},
    {"dead",    [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadBool(w, v, p, t.dead); }},
    {"dying",   [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadBool(w, v, p, t.dying); }},
    {"vehicle", [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadInt32(w, v, p, t.vehicle); }},
    {"player",  [](Walk& w, const json& v, const std::string& p, Ped& t) { ReadInt32(w, v, p, t.player); }},
};

struct VehicleKindName {
    const char* name;
    VehicleKind kind;
};

const VehicleKindName kVehicleKinds[] = {
    {"car",        VehicleKind::Car},
    {"boat",       VehicleKind::Boat},
    {"submarine",  VehicleKind::Submarine},
    {"helicopter", VehicleKind::Helicopter},
    {"plane",      VehicleKind::Plane},
    {"bike",       VehicleKind::Bike},
};

void ReadVehicleKind(Walk& walk, const json& value, const std::string& path, Vehicle& vehicle) {
    if (value.is_string()) {
        for (const VehicleKindName& entry : kVehicleKinds) {
            if (value.get<std::string>() == entry.name) {
                vehicle.kind = entry.kind;
                return;
            }
        }
    }
    walk.Error(path, "expected one of car, boat, submarine, helicopter, plane, bike, got " + value.dump());
}

const Field<Vehicle> kVehicleFields[] = {
    {"kind",    ReadVehicleKind},
    {"model",   [](Walk& w, const json& v, const std::string& p, Vehicle& t) { ReadString(w, v, p, t.model); }},
    {"heading", [](Walk& w, const json& v, const std::string& p, Vehicle& t) { ReadFloat(w, v, p, t.heading); }},
};

void ReadActiveByte(Walk& walk, const json& value, const std::string& path, NetworkPlayer& player) {
    if (value.is_boolean()) {
        player.activeByte = value.get<bool>() ? 1 : 0;
        return;
    }
    ReadInt(walk, value, path, 0, 255, player.activeByte);
}

const Field<NetworkPlayer> kPlayerFields[] = {
    {"active",      ReadActiveByte},
    {"ped",         [](Walk& w, const json& v, const std::string& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.ped); }},
    {"team",        [](Walk& w, const json& v, const std::string& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.team); }},
    {"networkName", [](Walk& w, const json& v, const std::string& p, NetworkPlayer& t) { ReadHostText(w, v, p, t.networkName); }},
    {"name",        [](Walk& w, const json& v, const std::string& p, NetworkPlayer& t) { ReadHostText(w, v, p, t.name); }},
    {"killer",      [](Walk& w, const json& v, const std::string& p, NetworkPlayer& t) { ReadInt32(w, v, p, t.killer); }},
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
    const size_t errors = walk.errors.size();
    ReadHostText(walk, value, path, name);
    if (walk.errors.size() == errors) world.streetHash = RegisterStreet(world, name);
}

void ReadCrossing(Walk& walk, const json& value, const std::string& path, World& world) {
    HostText name;
    const size_t errors = walk.errors.size();
    ReadHostText(walk, value, path, name);
    if (walk.errors.size() != errors) return;
    world.crossingHash = (name && name->empty()) ? 0 : RegisterStreet(world, name);
}

void ReadScreen(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array() || value.size() != 2) return walk.Error(path, "expected [width, height]" + Got(value));
    ReadInt(walk, value[0], Element(path, 0), 0, kMaxScreenSide, world.screenWidth);
    ReadInt(walk, value[1], Element(path, 1), 0, kMaxScreenSide, world.screenHeight);
}

void ReadResolution(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array() || value.size() != 2) return walk.Error(path, "expected [width, height]" + Got(value));
    ReadInt(walk, value[0], Element(path, 0), 1, kMaxScreenSide, world.realScreen.width);
    ReadInt(walk, value[1], Element(path, 1), 1, kMaxScreenSide, world.realScreen.height);
}

void ReadSafeZone(Walk& walk, const json& value, const std::string& path, World& world) {
    float size = 0;
    const size_t errors = walk.errors.size();
    ReadFloat(walk, value, path, size);
    if (walk.errors.size() != errors) return;
    if (!(size >= kMinSafeZone && size <= kMaxSafeZone)) {
        return walk.Error(path, value.dump() + " is out of range " + FormatFloat(kMinSafeZone, 6) + ".." + FormatFloat(kMaxSafeZone, 6));
    }
    world.realScreen.safeZone = size;
}

const Field<World> kDisplayFields[] = {
    {"resolution", ReadResolution},
    {"safeZone",   ReadSafeZone},
};

// Unlike the entity maps, a null entry here is a name: the host returns a null pointer for the hash.
void ReadStreetNames(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_object()) return walk.Error(path, "expected an object" + Got(value));
    for (const auto& [key, name] : value.items()) {
        int64_t hash = 0;
        if (!ParseKey(key, true, 0, kUint32Max, hash)) {
            walk.Error(Member(path, key), "the key must be a 32-bit hash, decimal or 0x-hexadecimal");
            continue;
        }
        ReadHostText(walk, name, Member(path, key), world.streetNames[static_cast<uint32_t>(hash)]);
    }
}

const Field<World> kNodeFields[] = {
    {"result", [](Walk& w, const json& v, const std::string& p, World& t) { ReadInt(w, v, p, 0, 255, t.nodeResult); }},
    {"pos",    [](Walk& w, const json& v, const std::string& p, World& t) { ReadVec3(w, v, p, t.nodePos); }},
};

template <int VirtualKey>
void ReadKey(Walk& walk, const json& value, const std::string& path, World& world) {
    bool down = false;
    if (ReadBool(walk, value, path, down)) world.keysDown[VirtualKey] = down;
}

const Field<World> kKeyFields[] = {
    {"alt",  ReadKey<kAltKey>},
    {"ctrl", ReadKey<kCtrlKey>},
    {"l",    ReadKey<kLKey>},
};

const Field<World> kRadarControlFields[] = {
    {"pressed",      [](Walk& w, const json& v, const std::string& p, World& t) { ReadBool(w, v, p, t.radarControlPressed); }},
    {"justReleased", [](Walk& w, const json& v, const std::string& p, World& t) { ReadBool(w, v, p, t.radarControlJustReleased); }},
};

void ReadPlayers(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_object()) return walk.Error(path, "expected an object" + Got(value));
    for (const auto& [key, entry] : value.items()) {
        int64_t slot = 0;
        if (!ParseKey(key, false, 0, kPlayerSlots - 1, slot)) {
            walk.Error(Member(path, key), "the key must be a player slot 0.." + std::to_string(kPlayerSlots - 1));
            continue;
        }
        ApplyFields(walk, entry, Member(path, key), kPlayerFields, world.players[static_cast<size_t>(slot)]);
    }
}

void ReadRemoveBlips(Walk& walk, const json& value, const std::string& path, World& world) {
    if (!value.is_array()) return walk.Error(path, "expected an array of blip handles" + Got(value));
    for (size_t i = 0; i < value.size(); ++i) {
        int32_t handle = 0;
        const size_t errors = walk.errors.size();
        ReadInt32(walk, value[i], Element(path, i), handle);
        if (walk.errors.size() == errors) world.blips.erase(handle);
    }
}

const Field<World> kWorldFields[] = {
    {"screen",           ReadScreen},
    {"display",          [](Walk& w, const json& v, const std::string& p, World& t) { ApplyFields(w, v, p, kDisplayFields, t); }},
    {"localPlayerIndex", [](Walk& w, const json& v, const std::string& p, World& t) { ReadInt32(w, v, p, t.localPlayerIndex); }},
    {"localPed",         [](Walk& w, const json& v, const std::string& p, World& t) { ReadInt32(w, v, p, t.localPed); }},
    {"session",          [](Walk& w, const json& v, const std::string& p, World& t) { ReadInt(w, v, p, 0, 255, t.sessionByte); }},
    {"pauseMenu",        [](Walk& w, const json& v, const std::string& p, World& t) { ReadBool(w, v, p, t.pauseMenu); }},
    {"radarHidden",      [](Walk& w, const json& v, const std::string& p, World& t) { ReadBool(w, v, p, t.radarHidden); }},
    {"street",           ReadStreet},
    {"crossing",         ReadCrossing},
    {"streetNames",      ReadStreetNames},
    {"zone",             [](Walk& w, const json& v, const std::string& p, World& t) { ReadHostText(w, v, p, t.zoneCode); }},
    {"onRoad",           [](Walk& w, const json& v, const std::string& p, World& t) { ReadBool(w, v, p, t.onRoad); }},
    {"node",             [](Walk& w, const json& v, const std::string& p, World& t) { ApplyFields(w, v, p, kNodeFields, t); }},
    {"keys",             [](Walk& w, const json& v, const std::string& p, World& t) { ApplyFields(w, v, p, kKeyFields, t); }},
    {"radarControl",     [](Walk& w, const json& v, const std::string& p, World& t) { ApplyFields(w, v, p, kRadarControlFields, t); }},
    {"peds", [](Walk& w, const json& v, const std::string& p, World& t) {
         ApplyMap(w, v, p, false, kInt32Min, kInt32Max, t.peds,
                  [](Walk& w2, const json& v2, const std::string& p2, Ped& ped) { ApplyFields(w2, v2, p2, kPedFields, ped); });
     }},
    {"vehicles", [](Walk& w, const json& v, const std::string& p, World& t) {
         ApplyMap(w, v, p, false, kInt32Min, kInt32Max, t.vehicles,
                  [](Walk& w2, const json& v2, const std::string& p2, Vehicle& vehicle) { ApplyFields(w2, v2, p2, kVehicleFields, vehicle); });
     }},
    {"players",          ReadPlayers},
    {"removeBlips",      ReadRemoveBlips},
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
    const std::optional<IniEncoding> encoding = value.is_string() ? IniEncodingNamed(value.get<std::string>()) : std::nullopt;
    if (encoding) {
        scenario.iniEncoding = *encoding;
        return;
    }
    std::string names;
    for (const IniEncodingRow& row : kIniEncodings) names += std::string(names.empty() ? "" : ", ") + row.name;
    walk.Error(path, "expected one of " + names + ", got " + value.dump());
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

void ReadSteps(Walk& walk, const json& value, const std::string& path, Scenario& scenario);

const Field<Scenario> kScenarioFields[] = {
    {"description",  [](Walk& w, const json& v, const std::string& p, Scenario& s) { ReadString(w, v, p, s.description); }},
    {"ini",          ReadIni},
    {"iniEncoding",  ReadIniEncoding},
    {"clockStartMs", [](Walk& w, const json& v, const std::string& p, Scenario& s) { ReadInt(w, v, p, 0, kUint32Max, s.clockStartMs); }},
    {"frameStepMs",  [](Walk& w, const json& v, const std::string& p, Scenario& s) { ReadInt(w, v, p, 0, kUint32Max, s.frameStepMs); }},
    {"world",        [](Walk&, const json& v, const std::string&, Scenario& s) { s.world = v; }},
    {"steps",        ReadSteps},
};

const Field<ScenarioStep> kStepFields[] = {
    {"label",  [](Walk& w, const json& v, const std::string& p, ScenarioStep& s) { ReadString(w, v, p, s.label); }},
    {"world",  [](Walk&, const json& v, const std::string&, ScenarioStep& s) { s.world = v; }},
    {"frames", [](Walk& w, const json& v, const std::string& p, ScenarioStep& s) { ReadInt(w, v, p, 1, kMaxStepFrames, s.frames); }},
};

void ReadSteps(Walk& walk, const json& value, const std::string& path, Scenario& scenario) {
    if (!value.is_array()) return walk.Error(path, "expected an array of steps" + Got(value));
    for (size_t i = 0; i < value.size(); ++i) {
        ScenarioStep step;
        step.label = "step " + std::to_string(i + 1);
        const std::string stepPath = Element(path, i);
        ApplyFields(walk, value[i], stepPath, kStepFields, step);
        if (value[i].is_object() && !value[i].contains("frames")) walk.Error(Member(stepPath, "frames"), "missing");
        scenario.steps.push_back(std::move(step));
    }
}

// "file:line: what" for a document that is not JSON at all.
std::string ParseErrorMessage(const std::string& text, const std::string& fileName, const json::parse_error& error) {
    size_t line = 1;
    for (size_t i = 0; i + 1 < error.byte && i < text.size(); ++i) line += text[i] == '\n' ? 1 : 0;
    std::string what = error.what();
    const size_t detail = what.find(": ", what.find("column"));
    return fileName + ":" + std::to_string(line) + ": invalid JSON: " +
           (detail == std::string::npos ? what : what.substr(detail + 2));
}

}  // namespace

std::optional<Scenario> ParseScenario(const std::string& text, const std::string& fileName, std::string* error) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& e) {
        *error = ParseErrorMessage(text, fileName, e);
        return std::nullopt;
    }

    Walk walk{fileName, {}};
    Scenario scenario;
    scenario.file = fileName;
    ApplyFields(walk, document, "", kScenarioFields, scenario);
    EncodeIni(walk, scenario);
    if (document.is_object() && scenario.steps.empty()) walk.Error("steps", "at least one step is needed");

    // Patches are checked by applying them, in order, to a scratch world.
    World scratch;
    WalkWorldPatch(walk, scenario.world, "world", scratch);
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        WalkWorldPatch(walk, scenario.steps[i].world, Member(Element("steps", i), "world"), scratch);
    }

    if (!walk.errors.empty()) {
        error->clear();
        for (const std::string& line : walk.errors) *error += (error->empty() ? "" : "\n") + line;
        return std::nullopt;
    }
    return scenario;
}

std::optional<Scenario> LoadScenarioFile(const std::string& path, std::string* error) {
    const std::optional<std::string> text = ReadFileBytes(path);
    if (!text) {
        *error = path + ": " + UnreadableFileReason(path);
        return std::nullopt;
    }
    return ParseScenario(*text, path, error);
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
