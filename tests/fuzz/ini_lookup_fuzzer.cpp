// Fuzz target: the profile-string lookup with arbitrary file bytes, section and key names, fallback
// and buffer size; the editor and the check over the same file; and the plug-in's settings load
// reading the whole input as its KOV.ini (the sanitizers watch its conversions; what it makes of a
// file is tested through what the plug-in draws, in test_settings.cpp).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/setting_keys.h"
#include "config/settings.h"
#include "host/platform.h"
#include "host/script_hook.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"
#include "sim/platform/files.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/ini_edit.h"
#include "work_dir.h"

namespace {

constexpr size_t kMaxNameBytes = 64;
constexpr uint32_t kMaxBufferBytes = 300;

// The file text the settings load sees.
std::optional<std::string> iniText;

[[noreturn]] void Violation(const char* what) {
    std::fprintf(stderr, "ini lookup: %s\n", what);
    std::abort();
}

std::optional<std::string> ValueOf(std::string_view file, std::string_view section, std::string_view key) {
    return sim::FindProfileValues(file, {{section, key}}).front();
}

bool IsProfileSpace(char c) { return std::string_view(" \t\n\r\v\f\x1a").find(c) != std::string_view::npos; }

// A name the editor can write as it stands: letters and digits only.
std::string AsName(const std::string& text) {
    std::string name;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name += c;
    }
    return name;
}

// A value every encoding holds as it stands: printable ASCII, no white space at either end.
std::string AsValue(const std::string& text) {
    std::string value;
    for (char c : text) {
        if (c >= ' ' && c <= '~') value += c;
    }
    while (!value.empty() && IsProfileSpace(value.back())) value.pop_back();
    while (!value.empty() && IsProfileSpace(value.front())) value.erase(value.begin());
    return value;
}

// The file the runs read in place of a long one (its lookup lines alone) reads as the file for
// the section and key, and for every key of the plug-in.
void CheckLookupEquivalent(const ini::IniDocument& document, const std::string& section, const std::string& key) {
    const std::vector<ini::LookupLine> lines = ini::FindLookupLines(document);
    const std::optional<std::string> equivalent = ini::LookupEquivalentBytes(document, lines);
    if (!equivalent) return;
    std::vector<sim::ProfileName> names{{section, key}};
    for (const SettingKey& setting : kSettingKeys) names.push_back({setting.section, setting.key});
    const std::string file = ini::IniDocumentBytes(document);
    const auto fromEquivalentScan = sim::FindProfileValues(sim::IniLookupText(*equivalent), names);
    const auto fromFileScan = sim::FindProfileValues(sim::IniLookupText(file), names);
    for (size_t i = 0; i < names.size(); ++i) {
        if (fromEquivalentScan[i] == fromFileScan[i]) continue;
        std::fprintf(stderr, "[%s] %s: the file gives %s, the lookup lines %s\n", std::string(names[i].section).c_str(),
                     std::string(names[i].key).c_str(), fromFileScan[i].value_or("(none)").c_str(),
                     fromEquivalentScan[i].value_or("(none)").c_str());
        Violation("the file of the lookup lines reads otherwise than the file");
    }
    char fromFile[kSettingValueCapacity], fromEquivalent[kSettingValueCapacity];
    for (const sim::ProfileName& name : names) {
        const std::string s(name.section), k(name.key);
        const uint32_t a = sim::LookupProfileString(file, s.c_str(), k.c_str(), "", fromFile, sizeof fromFile);
        const uint32_t b =
            sim::LookupProfileString(*equivalent, s.c_str(), k.c_str(), "", fromEquivalent, sizeof fromEquivalent);
        if (std::string_view(fromFile, a) != std::string_view(fromEquivalent, b))
            Violation("the file of the lookup lines hands another value than the file");
    }
}

// A key set into any file, in any encoding, is then what the lookup reads for it; setting it
// through the known lookup lines gives the same file as the whole scan, and keeps them known.
void CheckEdit(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    ini::IniDocument document = ini::OpenIniDocument(file);
    CheckLookupEquivalent(document, section, key);
    if (key.empty()) return;
    const std::string edited = ini::SetIniFileValue(file, section, key, value);
    if (ValueOf(sim::IniLookupText(edited), section, key) != value)
        Violation("the lookup does not read the value just set");
    std::vector<ini::LookupLine> lines = ini::FindLookupLines(document);
    ini::SetIniDocumentValue(document, lines, section, key, value);
    if (ini::IniDocumentBytes(document) != edited) Violation("the edit through the lookup lines differs");
    const std::vector<ini::LookupLine> found = ini::FindLookupLines(document);
    const auto same = [](const ini::LookupLine& a, const ini::LookupLine& b) {
        return a.line == b.line && a.section == b.section && a.name == b.name;
    };
    if (!std::equal(lines.begin(), lines.end(), found.begin(), found.end(), same))
        Violation("the lookup lines kept through the edit are not the file's");
    CheckLookupEquivalent(document, section, key);
}

// The check's findings name lines of the file in order, those about the file as a whole (line 0) first.
void CheckFindings(const std::string& file) {
    int previous = 0;
    for (const ini::IniFinding& finding : ini::CheckIni(file)) {
        if (finding.line < previous) Violation("a finding out of line order");
        previous = finding.line;
    }
}

// The contract of the lookup: a terminated text of at most size - 1 characters whose length is
// the result, and a found value that is trimmed and holds no line end.
void CheckLookup(FuzzedDataProvider& bytes) {
    const uint32_t size = bytes.ConsumeIntegralInRange<uint32_t>(0, kMaxBufferBytes);
    const bool nullSection = bytes.ConsumeProbability<float>() < 0.05f;
    const bool nullKey = bytes.ConsumeProbability<float>() < 0.05f;
    const bool nullFallback = bytes.ConsumeProbability<float>() < 0.05f;
    const bool noFile = bytes.ConsumeProbability<float>() < 0.05f;
    const std::string section = bytes.ConsumeRandomLengthString(kMaxNameBytes);
    const std::string key = bytes.ConsumeRandomLengthString(kMaxNameBytes);
    const std::string fallback = bytes.ConsumeRandomLengthString(kMaxNameBytes);
    const std::string file = bytes.ConsumeRemainingBytesAsString();

    const std::optional<std::string> value = ValueOf(file, section, key);
    if (value && !value->empty() && (IsProfileSpace(value->front()) || IsProfileSpace(value->back()))) {
        Violation("a value keeps white space at an end");
    }
    if (value && value->find_first_of("\r\n") != std::string::npos) Violation("a value spans lines");
    if (sim::FindProfileValues(file, {{"GENERAL", "LocTextPosX"}, {section, key}, {section, "A"}})[1] != value)
        Violation("one scan for many keys finds another value than a scan for one");
    CheckEdit(file, AsName(section), AsName(key), AsValue(fallback));
    CheckFindings(file);

    // Exactly sized, so a write past the end is caught.
    std::unique_ptr<char[]> out(new char[size == 0 ? 1 : size]);
    const uint32_t copied = sim::LookupProfileString(
        noFile ? std::nullopt : std::optional<std::string>(file), nullSection ? nullptr : section.c_str(),
        nullKey ? nullptr : key.c_str(), nullFallback ? nullptr : fallback.c_str(), out.get(), size);
    if (size == 0) {
        if (copied != 0) Violation("a zero-sized buffer received characters");
        return;
    }
    if (copied >= size) Violation("more characters than the buffer holds");
    if (out[copied] != '\0') Violation("the text is not terminated where the count says");
}

// A settings load appends its one line to KOV.log, whatever the file holds.
void CheckSettingsLoad() {
    const std::optional<std::string> log = sim::ReadFileBytes("KOV.log");
    if (log != std::string("<FILES> General information retrieved.\n")) Violation("a settings load logged otherwise");
}

}  // namespace

// The plug-in's imports: the lookup over the current input; no waits happen in a settings load.
extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size, LPCSTR) {
    return sim::LookupProfileString(iniText, section, key, fallback, out, size);
}
void scriptWait(DWORD) { Violation("a settings load waited"); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    iniText = std::string(reinterpret_cast<const char*>(data), size);
    {
        const fuzz::InScratchDirectory inScratch;  // LoadSettings appends to KOV.log
        LoadSettings();
        CheckSettingsLoad();
        std::remove("KOV.log");
    }

    FuzzedDataProvider bytes(data, size);
    CheckLookup(bytes);
    return 0;
}
