// The release package: the default KOV.ini (its file rules, and that it loads to exactly the
// defaults), the player's README, and the zip that holds them with KOV.asi.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sim/ini/ini_lookup.h"
#include "sim/platform/files.h"
#include "sim/scenario/scenario_run.h"
#include "sim_harness.h"
#include "tools/ini/setting_descriptions.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = KOV_SOURCE_DIR;

struct Key {
    const char* section;
    const char* name;
    const char* defaultText;
    const char* shippedText = nullptr;  // where the shipped file sets another value than the default
};

// The settings file's keys with the defaults the plug-in uses when a key is missing.
const Key kKeys[] = {
    // clang-format off
    {"GENERAL",     "LocTextPosX",          "320"},
    {"GENERAL",     "LocTextPosY",          "1035"},
    {"GENERAL",     "LocTextPosX_RadarLrg", "470"},
    {"GENERAL",     "LocTextPosY_RadarLrg", "1035"},
    {"GENERAL",     "LocTextSizeMult",      "1"},
    {"GENERAL",     "AllowRadarSizeToggle", "true"},
    {"GENERAL",     "AnchorToRadar",        "false"},
    {"GENERAL",     "PlacementKey",         "",      "K"},
    {"GENERAL",     "HideWithGameHud",      "false", "true"},
    {"MULTIPLAYER", "ShowPlayerObituaries", "true"},
    {"MULTIPLAYER", "DisplayPlayerBlips",   "true"},
    {"MULTIPLAYER", "DisplayTeamBlipsOnly", "false"},
    // clang-format on
};

std::string DistFile(const char* name) {
    const auto bytes = sim::ReadFileBytes(kSource / "dist" / name);
    EXPECT_TRUE(bytes.has_value()) << "dist/" << name;
    return bytes.value_or("");
}

// The settings the shipped file switches on, and nothing else: a file of them alone.
const char kSwitchedOn[] = "[GENERAL]\nPlacementKey=K\nHideWithGameHud=true\n";

TEST(DistIni, EveryKeyReadsAsItsDefaultButThePlacementPair) {
    const std::string ini = DistFile("KOV.ini");
    for (const Key& key : kKeys) {
        char value[128];
        sim::LookupProfileString(ini, key.section, key.name, "<absent>", value, sizeof value);
        EXPECT_STREQ(value, key.shippedText != nullptr ? key.shippedText : key.defaultText)
            << key.section << "/" << key.name;
        sim::LookupProfileString(std::string(kSwitchedOn), key.section, key.name, key.defaultText, value, sizeof value);
        EXPECT_STREQ(value, key.shippedText != nullptr ? key.shippedText : key.defaultText) << "the pair alone";
    }
}

TEST(DistIni, FollowsTheFileRules) {
    const std::string ini = DistFile("KOV.ini");
    std::string section;
    std::set<std::string> seen;
    bool allowToggleExplained = false;
    std::string previousComment;
    for (const std::string& line : sim::SplitLines(ini)) {
        SCOPED_TRACE(line);
        // Wine's profile writer drops blank lines: a save there would change more than its line.
        EXPECT_FALSE(line.empty()) << "no blank lines: a lone semicolon spaces the file";
        if (line.empty()) continue;
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.front()))) << "no indentation";
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.back()))) << "no trailing blanks";
        if (line[0] == ';') {
            EXPECT_EQ(line.find('='), std::string::npos) << "a comment line could read as a key";
            previousComment += line;
            continue;
        }
        if (line[0] == '[') {
            section = line;
            continue;
        }
        const size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos);
        const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
        EXPECT_EQ(value.find_first_of(";\"' \t"), std::string::npos) << "a bare value: no comment, quote or blank";
        EXPECT_TRUE(seen.insert(name).second) << "each key once";
        const auto key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const Key& k) { return name == k.name; });
        ASSERT_NE(key, std::end(kKeys)) << "unknown key";
        EXPECT_EQ(section, std::string("[") + key->section + "]");
        EXPECT_FALSE(previousComment.empty()) << "every key has a comment above it";
        if (name == "AllowRadarSizeToggle") {
            allowToggleExplained = previousComment.find("compatibility") != std::string::npos &&
                                   previousComment.find("changes nothing") != std::string::npos;
        }
        previousComment.clear();
    }
    EXPECT_EQ(seen.size(), std::size(kKeys));
    EXPECT_TRUE(allowToggleExplained);
}

// A sentence cut into lines of at most width characters, each starting with prefix, as many words
// on each as fit.
std::vector<std::string> Wrapped(const std::string& sentence, size_t width, const std::string& prefix) {
    std::vector<std::string> lines{prefix};
    for (size_t at = 0; at < sentence.size();) {
        const size_t end = std::min(sentence.find(' ', at), sentence.size());
        const std::string word = sentence.substr(at, end - at);
        if (lines.back().size() > prefix.size() && lines.back().size() + 1 + word.size() > width)
            lines.push_back(prefix);
        lines.back() += (lines.back().size() > prefix.size() ? " " : "") + word;
        at = end + 1;
    }
    return lines;
}

// KOV.ini's comment above each key and README.txt's line under each key's name say what the
// settings table's description says, wrapped as each file wraps.
TEST(DistFiles, DescribeEverySettingInTheTablesWords) {
    const std::vector<std::string> ini = sim::SplitLines(DistFile("KOV.ini"));
    const std::string readme = DistFile("README.txt");
    for (size_t i = 0; i < std::size(ini::kSettingDescriptions); ++i) {
        const std::string key = ini::kSettingDescriptions[i].key;
        const std::string sentence = ini::kSettingDescriptions[i].sentence;
        SCOPED_TRACE(key);
        const auto keyLine = std::find_if(ini.begin(), ini.end(),
                                          [&](const std::string& line) { return line.rfind(key + "=", 0) == 0; });
        ASSERT_NE(keyLine, ini.end());
        auto comment = keyLine;
        // The key's comment: the lines of text above it, up to a lone ";" spacer or a non-comment.
        while (comment != ini.begin() && (comment - 1)->rfind("; ", 0) == 0) --comment;
        EXPECT_EQ(std::vector<std::string>(comment, keyLine), Wrapped(sentence, 96, "; "));
        const std::string fallback = kSettingKeys[i].fallback;
        std::string block = "  " + key + " (default " + (fallback.empty() ? "none" : fallback) + ")\n";
        for (const std::string& line : Wrapped(sentence, 96, "      ")) block += line + "\n";
        EXPECT_NE(readme.find(block), std::string::npos) << block;
    }
}

// The plug-in itself, through the whole demo tour, cannot tell the shipped file from one that holds
// only the two settings it switches on.
TEST(DistIni, PluginBehavesExactlyAsWithTheDefaultsButThePlacementPair) {
    sim::Result<sim::Scenario> tour = sim::LoadScenarioFile((kSource / "scenarios" / "tour.json").string());
    ASSERT_TRUE(tour) << tour.error();
    sim::ScenarioRunOptions run;
    run.pluginPath = simtest::PluginPath();
    tour->ini = kSwitchedOn;
    const sim::ScenarioResult withoutFile = sim::RunScenario(*tour, run);
    tour->ini = DistFile("KOV.ini");
    const sim::ScenarioResult withFile = sim::RunScenario(*tour, run);
    ASSERT_TRUE(withoutFile.status.ok()) << withoutFile.status.error();
    ASSERT_TRUE(withFile.status.ok()) << withFile.status.error();
    ASSERT_EQ(withFile.trace.size(), withoutFile.trace.size());
    for (size_t i = 0; i < withFile.trace.size(); ++i) {
        ASSERT_EQ(withFile.trace[i].line, withoutFile.trace[i].line) << "trace entry " << i;
    }
    EXPECT_EQ(withFile.logLines, withoutFile.logLines);
}

TEST(DistReadme, TellsThePlayerHowToInstallAndTroubleshoot) {
    const std::string readme = DistFile("README.txt");
    for (const char* part : {"KOV.asi and KOV.ini into the game's folder, next to the game's executable",
                             "ScriptHookV.dll", "ASI loader", "Ctrl+Alt+L", "KOV.log", "LocTextPosX_RadarLrg",
                             "DisplayTeamBlipsOnly", "<FILES> General information retrieved.", "AnchorToRadar",
                             "SCREENS THAT ARE NOT 16:9", "Wayglass-preview.html"}) {
        EXPECT_NE(readme.find(part), std::string::npos) << part;
    }
}

// The files keep their own text, so each version they state is checked against the project's: a
// release that moves the version on without them fails here.
TEST(DistFiles, StateTheProjectVersion) {
    const std::regex stated("V[0-9]+\\.[0-9]+");
    for (const char* name : {"KOV.ini", "README.txt"}) {
        const std::string text = DistFile(name);
        size_t count = 0;
        for (auto found = std::sregex_iterator(text.begin(), text.end(), stated); found != std::sregex_iterator();
             ++found) {
            EXPECT_EQ(found->str(), KOV_VERSION_TEXT) << name;
            ++count;
        }
        EXPECT_GT(count, 0u) << name << " states no version";
    }
}

// ---- the zip ----

std::string Capture(const std::string& command, int* exitCode) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = pclose(pipe);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// A 64-bit Windows DLL: "MZ", then at the offset stored at 0x3C the PE signature, the x86-64
// machine and the DLL flag in the characteristics.
bool IsWindowsDll64(const std::string& bytes) {
    if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return false;
    auto u16 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const size_t pe = u16(0x3C) | static_cast<size_t>(u16(0x3E)) << 16;
    if (pe + 24 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return false;
    constexpr unsigned kMachineX64 = 0x8664, kDllFlag = 0x2000;
    return u16(pe + 4) == kMachineX64 && (u16(pe + 22) & kDllFlag) != 0;
}

// Checks the zip that `make dist` made (KOV_DIST_ZIP) or, without it, builds one from this
// tree's Windows build the same way.
TEST(DistPackage, ZipHoldsExactlyTheReleaseFiles) {
    const fs::path asi = kSource / "build" / "windows" / "KOV.asi";
    const fs::path page = kSource / "build" / "web" / "Wayglass-preview.html";
    const char* given = std::getenv("KOV_DIST_ZIP");
    if (given == nullptr && !fs::exists(asi)) GTEST_SKIP() << "no Windows build: " << asi;
    if (given == nullptr && !fs::exists(page)) GTEST_SKIP() << "no preview page build: " << page;
    const fs::path temp = sim::MakeTempDirectory("kov-dist-");
    const fs::path zip = given != nullptr ? fs::path(given) : temp / "Wayglass-" KOV_VERSION_TEXT ".zip";
    int status = -1;
    if (given == nullptr) {
        const std::string out = Capture("bash " + Quote(kSource / "scripts" / "dist.sh") + " " + Quote(asi) + " " +
                                            Quote(page) + " " + Quote(zip) + " 2>&1",
                                        &status);
        ASSERT_EQ(status, 0) << out;
    }

    const std::string listing = Capture("unzip -Z1 " + Quote(zip), &status);
    ASSERT_EQ(status, 0) << listing;
    EXPECT_EQ(sim::SplitLines(listing),
              (std::vector<std::string>{"KOV.asi", "KOV.ini", "README.txt", "Wayglass-preview.html"}));
    // Players open the text files in Notepad: every line ends in CR LF.
    for (const char* name : {"KOV.ini", "README.txt"}) {
        std::string windows;
        for (const std::string& line : sim::SplitLines(DistFile(name))) windows += line + "\r\n";
        EXPECT_EQ(Capture("unzip -p " + Quote(zip) + " " + name, &status), windows) << name;
    }
    const std::string packed = Capture("unzip -p " + Quote(zip) + " KOV.asi", &status);
    EXPECT_TRUE(IsWindowsDll64(packed));
    if (fs::exists(asi))
        EXPECT_EQ(packed, sim::ReadFileBytes(asi).value_or("")) << "the zip holds this build's KOV.asi";
    const std::string packedPage = Capture("unzip -p " + Quote(zip) + " Wayglass-preview.html", &status);
    EXPECT_NE(packedPage.find("<title>Wayglass preview"), std::string::npos) << "the preview page";
    if (fs::exists(page))
        EXPECT_EQ(packedPage, sim::ReadFileBytes(page).value_or("")) << "the zip holds this build's page";
    // Beside the zip, its SHA-256 as sha256sum writes it, which sha256sum itself then accepts.
    const std::string check = Capture("cd " + Quote(zip.parent_path()) + " && sha256sum --check --strict " +
                                          Quote(zip.filename().string() + ".sha256") + " 2>&1",
                                      &status);
    EXPECT_EQ(status, 0) << check;
    EXPECT_EQ(check, zip.filename().string() + ": OK\n");
    fs::remove_all(temp);
}

// The same KOV.asi and text files give the same zip bytes, whatever the machine's time zone, the
// files' times and the umask.
TEST(DistPackage, SameInputsGiveTheSameZip) {
    const fs::path asi = kSource / "build" / "windows" / "KOV.asi";
    const fs::path page = kSource / "build" / "web" / "Wayglass-preview.html";
    if (!fs::exists(asi)) GTEST_SKIP() << "no Windows build: " << asi;
    if (!fs::exists(page)) GTEST_SKIP() << "no preview page build: " << page;
    const fs::path temp = sim::MakeTempDirectory("kov-dist-");
    const std::string dist =
        "bash " + Quote(kSource / "scripts" / "dist.sh") + " " + Quote(asi) + " " + Quote(page) + " ";
    int status = -1;
    Capture("TZ=UTC " + dist + Quote(temp / "a.zip"), &status);
    ASSERT_EQ(status, 0);
    Capture("umask 077; TZ=Pacific/Auckland " + dist + Quote(temp / "b.zip"), &status);
    ASSERT_EQ(status, 0);
    const auto first = sim::ReadFileBytes(temp / "a.zip");
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first == sim::ReadFileBytes(temp / "b.zip")) << "the two zips differ";
    fs::remove_all(temp);
}

}  // namespace
