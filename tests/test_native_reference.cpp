// The simulated host's native table against sim/natives/host-natives.tsv, the parameters of each native as
// the current game declares them, and the plug-in's wrappers against the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/natives/native_table.h"

namespace {

const std::string kReferencePath = std::string(KOV_SOURCE_DIR) + "/sim/natives/host-natives.tsv";
const std::string kWrappersPath = std::string(KOV_SOURCE_DIR) + "/src/host/natives.h";

// The kind letter (sim/natives/native_table.h) each parameter type of the file is read as. A row whose
// type is missing here fails by name: add the type with the letter the host reads its slot as.
const std::map<std::string, char> kKindOfType = {
    {"int", 'i'},  {"Entity", 'i'}, {"Ped", 'i'},    {"Player", 'i'},      {"Vehicle", 'i'},   {"Blip", 'i'},
    {"Hash", 'u'}, {"float", 'f'},  {"BOOL", 'b'},   {"const char*", 's'}, {"int*", 'o'},      {"Hash*", 'o'},
    {"Blip*", 'h'}, {"Vector3*", 'V'}, {"float*", 'F'},
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

const char* GameArgs(const sim::NativeDef& def) { return def.gameArgs != nullptr ? def.gameArgs : def.args; }

TEST(NativeReference, HostTableHasTheGameParametersOfEveryNativeInTheFile) {
    const std::map<uint64_t, ReferenceRow> reference = LoadReference();
    ASSERT_FALSE(reference.empty());
    for (const auto& [hash, row] : reference) {
        SCOPED_TRACE(row.where + " " + row.name);
        const sim::NativeDef* def = sim::FindNative(hash);
        if (def == nullptr) {
            EXPECT_NE(row.use, "plug-in") << "the plug-in calls it: the simulated host must know it";
            continue;
        }
        EXPECT_EQ(GameArgs(*def), KindsOf(row)) << "native " << def->role << ": parameter kinds (and count)";
    }
}

// Where the plug-in pushes a slot of another kind than the game declares, the game must read the
// same bits: a 32-bit value zero-extended either way.
TEST(NativeReference, PushedFormFillsTheSlotsTheGameReads) {
    const std::string value32 = "iuf";
    for (const sim::NativeDef& def : sim::AllNatives()) {
        if (def.gameArgs == nullptr) continue;
        SCOPED_TRACE(def.role);
        ASSERT_EQ(std::strlen(def.args), std::strlen(def.gameArgs)) << "the game reads every slot the plug-in pushes";
        for (size_t i = 0; def.args[i] != '\0'; ++i) {
            const bool alike = def.args[i] == def.gameArgs[i] ||
                               (value32.find(def.args[i]) != std::string::npos &&
                                value32.find(def.gameArgs[i]) != std::string::npos);
            EXPECT_TRUE(alike) << "slot " << i + 1 << ": pushed '" << def.args[i] << "', read as '" << def.gameArgs[i]
                               << "'";
        }
    }
}

// Each wrapper's native is in the file, and each native the file gives to the plug-in has a wrapper.
TEST(NativeReference, WrappersCallExactlyThePlugInNativesOfTheFile) {
    const std::map<uint64_t, ReferenceRow> reference = LoadReference();
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
        EXPECT_NE(reference.count(hash), 0u) << kWrappersPath << ": " << it->str() << " is not in " << kReferencePath;
    }
    for (const auto& [hash, row] : reference) {
        if (row.use == "plug-in") EXPECT_NE(called.count(hash), 0u) << row.where << ": no wrapper calls " << row.name;
    }
}

}  // namespace
