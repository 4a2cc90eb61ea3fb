// Runs under Wine: the same writes through the system's WritePrivateProfileStringA and through the
// simulated host's emulation of it (sim/ini/profile_writer.h), over a corpus of files, and fails
// unless both files then read alike to the system's own lookup: the same sections, each with the
// same lines of keys and values. Where the file is already as Wine writes every file (CR LF line
// ends, no blank lines, no blanks around names and values), the bytes must be the same too; for the
// others it prints how far Wine's bytes are from the emulation's, which keeps every other line as
// the Windows writer does (Wine writes the whole file anew). The shipped KOV.ini, with the CR LF
// line ends the player's zip gives it, is laid out as Wine writes, so a save changes the saved
// key's line alone under Wine as well.
// Usage: profile-writer-check SHIPPED_KOV.ini
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "sim/ini/profile_writer.h"
#include "sim/platform/files.h"

namespace {

struct Write {
    const char* section;
    const char* key;
    const char* value;
};

struct Case {
    const char* name;
    std::optional<std::string> file;  // nullopt: no file
    bool asWineWrites;                // Wine's rewrite keeps the bytes: they must match
    std::vector<Write> writes;
};

const Write kReplace{"GENERAL", "A", "9"};
const Write kAddKey{"GENERAL", "D", "7"};
const Write kAddSection{"NEW", "E", "5"};

std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string(1, c) + '\0';
    return bytes;
}

// The text with CR LF line ends, as the player's zip holds KOV.ini.
std::string WindowsLineEnds(const std::string& text) {
    std::string windows;
    for (char c : text) {
        if (c == '\n' && (windows.empty() || windows.back() != '\r')) windows += '\r';
        windows += c;
    }
    return windows;
}

std::vector<Case> Corpus(const std::string& shipped) {
    const std::vector<Write> all = {kReplace, kAddKey, kAddSection};
    return {
        {"as Wine writes", std::string("[GENERAL]\r\nA=1\r\nB=2\r\n[X]\r\nC=3\r\n"), true, all},
        {"a key outside any section", std::string("A=0\r\n[GENERAL]\r\nA=1\r\n"), true, all},
        {"repeated sections and keys", std::string("[GENERAL]\r\nA=1\r\nA=2\r\n[X]\r\n[general]\r\nA=3\r\n"), true,
         all},
        {"a missing section", std::string("[X]\r\nC=3\r\n"), true, all},
        {"no file", std::nullopt, true, all},
        {"an empty file", std::string(), true, {kReplace}},
        {"UTF-8 with its mark", std::string("\xEF\xBB\xBF[GENERAL]\r\nA=1\r\n"), true, all},
        {"UTF-16", Utf16("[GENERAL]\r\nA=1\r\n"), true, all},
        {"code page 1252", std::string("; caf\xE9\r\n[GENERAL]\r\nA=\xE9t\xE9\r\n"), true, all},
        {"comments and blank lines", std::string("; notes\n\n[GENERAL]\n; a\nA = 1\n\n; b\n[X]\nC=3\n"), false, all},
        {"no final line end", std::string("[GENERAL]\nA=1"), false, all},
        {"LF line ends", std::string("[GENERAL]\nA=1\nB=2\n"), false, all},
        {"CR line ends", std::string("[GENERAL]\rA=1\r"), false, all},
        {"blanks around names and values", std::string("[ GENERAL ]\r\n  A  =  1  \r\n"), false, all},
        {"a comment after the value", std::string("[GENERAL]\r\nA=1 ; one\r\n"), false, {kReplace}},
        {"UTF-16 with blank lines", Utf16("\r\n[GENERAL]\r\n\r\nA=1\r\n"), false, all},
        {"the shipped KOV.ini, LocTextPosX saved", shipped, true, {{"GENERAL", "LocTextPosX", "330"}}},
    };
}

std::string Bytes(const char* path) { return sim::ReadFileBytes(path).value_or("<no file>"); }

void Put(const char* path, const std::optional<std::string>& bytes) {
    DeleteFileA(path);
    if (bytes) (void)sim::WriteFileBytes(path, *bytes);
}

// What the system's lookup reads of a file: each section's name and its lines of keys and values.
std::string Reading(const char* path) {
    static char buffer[1 << 16];
    const DWORD names = GetPrivateProfileSectionNamesA(buffer, sizeof buffer, path);
    std::string reading;
    std::vector<std::string> sections;
    for (const char* name = buffer; name < buffer + names && *name != '\0'; name += sections.back().size() + 1) {
        sections.emplace_back(name);
    }
    for (const std::string& section : sections) {
        const DWORD size = GetPrivateProfileSectionA(section.c_str(), buffer, sizeof buffer, path);
        reading += "[" + section + "]";
        for (DWORD i = 0; i < size; ++i) reading += buffer[i] == '\0' ? '|' : buffer[i];
        reading += "\n";
    }
    return reading;
}

// The bytes shown with their control characters escaped.
std::string Shown(const std::string& bytes) {
    std::string shown;
    for (unsigned char c : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, c < 0x20 || c > 0x7E ? "\\x%02X" : "%c", c);
        shown += escaped;
    }
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: profile-writer-check SHIPPED_KOV.ini\n");
        return 2;
    }
    const std::optional<std::string> shipped = sim::ReadFileBytes(argv[1]);
    if (!shipped) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    constexpr const char* kSystem = ".\\system.ini";
    constexpr const char* kEmulated = ".\\emulated.ini";
    int failures = 0, checks = 0;
    for (const Case& c : Corpus(WindowsLineEnds(*shipped))) {
        for (const Write& write : c.writes) {
            ++checks;
            Put(kSystem, c.file);
            const BOOL written = WritePrivateProfileStringA(write.section, write.key, write.value, kSystem);
            const std::string system = Bytes(kSystem);
            const std::string emulated = sim::WriteProfileValue(c.file, write.section, write.key, write.value);
            Put(kEmulated, emulated);
            const std::string label = std::string(c.name) + ", " + write.section + "/" + write.key;
            if (!written) {
                std::printf("FAIL: %s: the system's writer failed (error %lu)\n", label.c_str(), GetLastError());
                ++failures;
            } else if (Reading(kSystem) != Reading(kEmulated)) {
                std::printf("FAIL: %s: the files read differently\n  system:   %s  emulated: %s", label.c_str(),
                            Reading(kSystem).c_str(), Reading(kEmulated).c_str());
                ++failures;
            } else if (c.asWineWrites && system != emulated) {
                std::printf("FAIL: %s: the bytes differ\n  system:   %s\n  emulated: %s\n", label.c_str(),
                            Shown(system).c_str(), Shown(emulated).c_str());
                ++failures;
            } else if (system != emulated) {
                std::printf("note: %s: read alike; Wine wrote the file anew (%zu bytes, the emulation %zu)\n",
                            label.c_str(), system.size(), emulated.size());
            }
        }
    }
    DeleteFileA(kSystem);
    DeleteFileA(kEmulated);
    if (failures != 0) {
        std::printf("FAIL: %d of %d writes differ from the system's\n", failures, checks);
        return 1;
    }
    std::printf("PASS: %d writes read as the system's writes read, byte for byte where Wine keeps the bytes\n", checks);
    return 0;
}
