// The native table (sim/natives/native_signatures.h) against sim/natives/host-natives.tsv, the
// parameters of each native as the current game declares them; the plug-in's wrappers against the
// table; and the join of the table with a host's handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/natives/native_join.h"
#include "sim/natives/native_table.h"

namespace {

const std::string kReferencePath = std::string(KOV_SOURCE_DIR) + "/sim/natives/host-natives.tsv";
const std::string kWrappersPath = std::string(KOV_SOURCE_DIR) + "/src/host/natives.h";

// The kind letter (sim/natives/native_signatures.h) each parameter type of the file is read as. A row whose
// type is missing here fails by name: add the type with the letter the host reads its slot as.
const std::map<std::string, char> kKindOfType = {
    // clang-format off
    {"int", 'i'},  {"Entity", 'i'}, {"Ped", 'i'},    {"Player", 'i'},      {"Vehicle", 'i'},   {"Blip", 'i'},
    {"Hash", 'u'}, {"float", 'f'},  {"BOOL", 'b'},   {"const char*", 's'}, {"int*", 'o'},      {"Hash*", 'o'},
    {"Blip*", 'h'}, {"Vector3*", 'V'}, {"float*", 'F'},
    // clang-format on
};

struct ReferenceRow {
    std::string where;  // file:line
    std::string name;
    std::string parameters;  // as written in the file
    std::string use;         // "plug-in", or another use such as "placement candidate"
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

// The file's rows by hash; a malformed or repeated row is a test failure naming its line.
std::map<uint64_t, ReferenceRow> LoadReference() {
    std::map<uint64_t, ReferenceRow> rows;
    std::ifstream in(kReferencePath);
    if (!in) {
        ADD_FAILURE() << "cannot read " << kReferencePath;
        return rows;
    }
    std::string line;
    std::getline(in, line);  // the header
    for (int number = 2; std::getline(in, line); ++number) {
        const std::string where = kReferencePath + ":" + std::to_string(number);
        const std::vector<std::string> fields = Split(line, '\t');
        if (fields.size() != 5) {
            ADD_FAILURE() << where << ": " << fields.size() << " tab-separated fields, 5 expected";
            continue;
        }
        char* end = nullptr;
        const uint64_t hash = std::strtoull(fields[0].c_str(), &end, 16);
        if (fields[0].size() != 18 || fields[0].rfind("0x", 0) != 0 || *end != '\0') {
            ADD_FAILURE() << where << ": \"" << fields[0] << "\" is not a hash of 16 hex digits";
            continue;
        }
        if (!rows.emplace(hash, ReferenceRow{where, fields[1], fields[2], fields[4]}).second) {
            ADD_FAILURE() << where << ": " << fields[0] << " is listed twice";
        }
    }
    return rows;
}

// The kind letters of a parameter list such as "Entity entity, BOOL p1" -> "ib"; a type without a
// kind fails the test and reads as '?'.
std::string KindsOf(const ReferenceRow& row) {
    std::string kinds;
    if (Trim(row.parameters).empty()) return kinds;
    for (const std::string& parameter : Split(row.parameters, ',')) {
        const std::string text = Trim(parameter);
        const size_t nameAt = text.find_last_of(' ');
        const std::string type = nameAt == std::string::npos ? text : Trim(text.substr(0, nameAt));
        const auto kind = kKindOfType.find(type);
        if (kind == kKindOfType.end()) {
            ADD_FAILURE() << row.where << ": parameter type \"" << type << "\" has no kind in kKindOfType";
            kinds += '?';
        } else {
            kinds += kind->second;
        }
    }
    return kinds;
}

// The game's kinds of a row of the table: its own form where it names one, else the kinds pushed,
// a slot held at the game's own value read as the int or bool it is.
std::string GameKinds(const sim::NativeSignature& native) {
    std::string kinds;
    for (size_t i = 0; native.args[i] != '\0'; ++i) kinds += sim::GameKind(native, i);
    return kinds;
}

TEST(NativeReference, TableHasTheGameParametersOfEveryNativeInTheFile) {
    const std::map<uint64_t, ReferenceRow> reference = LoadReference();
    ASSERT_FALSE(reference.empty());
    for (const auto& [hash, row] : reference) {
        SCOPED_TRACE(row.where + " " + row.name);
        const sim::NativeSignature* native = sim::FindSignature(hash);
        if (native == nullptr) {
            EXPECT_NE(row.use, "plug-in") << "the plug-in calls it: the native table must have it";
            continue;
        }
        EXPECT_EQ(GameKinds(*native), KindsOf(row)) << "native " << native->role << ": parameter kinds (and count)";
        if (row.use == "plug-in") EXPECT_EQ(native->use, sim::NativeUse::PlugIn) << native->role;
    }
    for (const sim::NativeSignature& native : sim::kNativeSignatures) {
        EXPECT_NE(reference.count(native.hash), 0u) << native.role << ": the game's parameters are not in the file";
    }
}

// Where the plug-in pushes a slot of another kind than the game declares, the game must read the
// same bits: a 32-bit value zero-extended either way.
TEST(NativeReference, PushedFormFillsTheSlotsTheGameReads) {
    const std::string value32 = "iuf";
    for (const sim::NativeSignature& native : sim::kNativeSignatures) {
        SCOPED_TRACE(native.role);
        for (size_t i = 0; native.args[i] != '\0'; ++i) {
            const char pushed = sim::SlotKind(native.args[i]), read = sim::GameKind(native, i);
            const bool alike = pushed == read ||
                               (value32.find(pushed) != std::string::npos && value32.find(read) != std::string::npos);
            EXPECT_TRUE(alike) << "slot " << i + 1 << ": pushed '" << pushed << "', read as '" << read << "'";
        }
    }
}

// Each hash a wrapper calls is a native of the table the plug-in calls, and each such native has a
// wrapper.
TEST(NativeReference, WrappersCallExactlyThePlugInNativesOfTheTable) {
    std::ifstream in(kWrappersPath);
    ASSERT_TRUE(in) << "cannot read " << kWrappersPath;
    std::stringstream text;
    text << in.rdbuf();
    const std::string wrappers = text.str();
    std::set<uint64_t> called;
    const std::regex hashPattern("0x[0-9A-F]{16}");
    for (auto it = std::sregex_iterator(wrappers.begin(), wrappers.end(), hashPattern); it != std::sregex_iterator();
         ++it) {
        const uint64_t hash = std::strtoull(it->str().c_str(), nullptr, 16);
        called.insert(hash);
        const sim::NativeSignature* native = sim::FindSignature(hash);
        EXPECT_TRUE(native != nullptr && native->use == sim::NativeUse::PlugIn)
            << kWrappersPath << ": " << it->str() << " is not a native of the table marked as called by the plug-in";
    }
    for (const sim::NativeSignature& native : sim::kNativeSignatures) {
        if (native.use != sim::NativeUse::PlugIn) continue;
        EXPECT_NE(called.count(native.hash), 0u) << "no wrapper calls " << native.role;
    }
}

// The simulated host's handlers join the table whole; each defect a host's list can have is found
// and named.
TEST(NativeTable, JoinWithHandlersNamesEachDefect) {
    using Handlers = std::vector<sim::NativeHandler>;
    const auto drop = [](std::string role) {
        return [role](Handlers& h) {
            h.erase(std::find_if(h.begin(), h.end(), [&](const sim::NativeHandler& e) { return e.role == role; }));
        };
    };
    const auto add = [](const char* role) { return [role](Handlers& h) { h.push_back({role, h.front().run}); }; };
    struct JoinCase {
        const char* name;
        std::function<void(Handlers&)> edit;
        bool plugInOnly;
        const char* defect;
    };
    const JoinCase cases[] = {
        {"the simulated host's own", [](Handlers&) {}, false, ""},
        {"a native without its handler", drop("entity dead"), false,
         "native 0x5F9532F3B5CC2551 (entity dead) has no handler"},
        {"a native with two", add("draw rectangle"), false,
         "native 0x3A618A217E5154F0 (draw rectangle) has two handlers"},
        {"a handler without a native", add("entity is dead"), false,
         "handler \"entity is dead\" names no native of the table"},
        {"a native the plug-in does not call, where only those it calls need one", drop("aspect ratio"), true, ""},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        Handlers handlers = sim::AllHandlers();
        c.edit(handlers);
        EXPECT_EQ(sim::JoinByRole(handlers.data(), handlers.size(), c.plugInOnly, "handler").defect, c.defect);
    }
}

}  // namespace
