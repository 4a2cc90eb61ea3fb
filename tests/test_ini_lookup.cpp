// The profile-string lookup the simulated host gives a POSIX build of the plug-in.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "sim/ini/ini_lookup.h"
#include "tools/ini/ini_edit.h"

namespace {

struct LookupCase {
    const char* name;
    const char* file;  // null: no file
    const char* section;
    const char* key;
    const char* fallback;
    const char* expected;
};

const LookupCase kLookupCases[] = {
    {"plain value", "[GENERAL]\nLocTextPosX=12\n", "GENERAL", "LocTextPosX", "320", "12"},
    {"no file gives the fallback", nullptr, "GENERAL", "LocTextPosX", "320", "320"},
    {"empty file", "", "GENERAL", "LocTextPosX", "320", "320"},
    {"missing section", "[OTHER]\nLocTextPosX=12\n", "GENERAL", "LocTextPosX", "320", "320"},
    {"missing key", "[GENERAL]\nLocTextPosY=12\n", "GENERAL", "LocTextPosX", "320", "320"},
    {"empty value is not absent", "[GENERAL]\nLocTextPosX=\n", "GENERAL", "LocTextPosX", "320", ""},
    {"blank value is empty", "[GENERAL]\nLocTextPosX=   \n", "GENERAL", "LocTextPosX", "320", ""},
    {"section name ignores case", "[general]\nLocTextPosX=12\n", "GENERAL", "LocTextPosX", "320", "12"},
    {"key name ignores case", "[GENERAL]\nLOCTEXTPOSX=12\n", "GENERAL", "LocTextPosX", "320", "12"},
    {"value keeps its case", "[GENERAL]\nA=TrUe\n", "GENERAL", "A", "", "TrUe"},
    {"blanks around names trimmed", "  [ GENERAL ]  \n \t LocTextPosX \t= 12 \n", "GENERAL", "LocTextPosX", "320",
     "12"},
    {"inner blanks of value kept", "[GENERAL]\nA= 1 2  3 \n", "GENERAL", "A", "", "1 2  3"},
    {"double quotes removed", "[GENERAL]\nA=\" 12 \"\n", "GENERAL", "A", "", " 12 "},
    {"single quotes removed", "[GENERAL]\nA='12'\n", "GENERAL", "A", "", "12"},
    {"only one pair removed", "[GENERAL]\nA=\"\"12\"\"\n", "GENERAL", "A", "", "\"12\""},
    {"mismatched quotes kept", "[GENERAL]\nA=\"12'\n", "GENERAL", "A", "", "\"12'"},
    {"lone quote kept", "[GENERAL]\nA=\"\n", "GENERAL", "A", "", "\""},
    {"inline comment is value", "[GENERAL]\nA=true ; note\n", "GENERAL", "A", "", "true ; note"},
    {"comment line skipped", "[GENERAL]\n;A=1\nA=2\n", "GENERAL", "A", "", "2"},
    {"indented comment skipped", "[GENERAL]\n   ;A=1\nA=2\n", "GENERAL", "A", "", "2"},
    {"commented section skipped", ";[GENERAL]\nA=1\n[GENERAL]\nA=2\n", "GENERAL", "A", "", "2"},
    {"first key wins", "[GENERAL]\nA=1\nA=2\n", "GENERAL", "A", "", "1"},
    {"first section wins", "[GENERAL]\nB=1\n[GENERAL]\nA=2\n", "GENERAL", "A", "9", "9"},
    {"key in other section ignored", "[MULTIPLAYER]\nA=1\n[GENERAL]\nB=2\n", "GENERAL", "A", "9", "9"},
    {"keys before a section ignored", "A=1\n[GENERAL]\nB=2\n", "GENERAL", "A", "9", "9"},
    {"key without = has no value", "[GENERAL]\nA\nA=2\n", "GENERAL", "A", "9", "9"},
    {"= in value kept", "[GENERAL]\nA=b=c\n", "GENERAL", "A", "", "b=c"},
    {"CRLF line ends", "[GENERAL]\r\nA=1\r\nB=2\r\n", "GENERAL", "A", "", "1"},
    {"no line end at the end", "[GENERAL]\nA=1", "GENERAL", "A", "", "1"},
    {"UTF-8 byte order mark", "\xEF\xBB\xBF[GENERAL]\nA=1\n", "GENERAL", "A", "", "1"},
    {"old Mac line ends", "[GENERAL]\rA=1\rB=2", "GENERAL", "B", "", "2"},
    {"text after ] ignored", "[GENERAL] ; main\nA=1\n", "GENERAL", "A", "", "1"},
    {"name runs to the last ]", "[GENERAL] ; main]\nA=1\n", "GENERAL", "A", "9", "9"},
    {"lone CR in an LF file", "[GENERAL]\nA=1\rB=2\n", "GENERAL", "B", "", "2"},
    {"unclosed bracket is no section", "[GENERAL]\n[OTHER\nA=1\n", "GENERAL", "A", "", "1"},
    {"lookup names trimmed", "[GENERAL]\nA=1\n", " GENERAL ", " A ", "", "1"},
    {"empty key name is absent", "[GENERAL]\n=1\n", "GENERAL", "", "9", "9"},
    {"fallback trailing blanks cut", nullptr, "GENERAL", "A", "on  ", "on"},
    {"null fallback reads empty", nullptr, "GENERAL", "A", nullptr, ""},
    {"fallback keeps its quotes", "", "GENERAL", "A", "'x'", "'x'"},
};

TEST(IniLookup, FollowsTheWindowsProfileRules) {
    for (const LookupCase& c : kLookupCases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> file = c.file ? std::optional<std::string>(c.file) : std::nullopt;
        char out[128];
        std::memset(out, 'X', sizeof out);
        const uint32_t copied = sim::LookupProfileString(file, c.section, c.key, c.fallback, out, sizeof out);
        EXPECT_STREQ(out, c.expected);
        EXPECT_EQ(copied, std::strlen(c.expected));
    }
}

struct SizeCase {
    uint32_t size;
    const char* expected;
    uint32_t copied;
};

TEST(IniLookup, CutsTheValueToTheBufferAndTerminates) {
    const std::optional<std::string> file = std::string("[S]\nK=abcdef\n");
    const SizeCase cases[] = {{7, "abcdef", 6}, {6, "abcde", 5}, {2, "a", 1}, {1, "", 0}};
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.size);
        char out[16];
        std::memset(out, 'X', sizeof out);
        EXPECT_EQ(sim::LookupProfileString(file, "S", "K", "", out, c.size), c.copied);
        EXPECT_STREQ(out, c.expected);
        EXPECT_EQ(out[c.size], 'X') << "wrote past the buffer";
    }
    char untouched = 'X';
    EXPECT_EQ(sim::LookupProfileString(file, "S", "K", "", &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'X');
}

TEST(IniLookup, SeesAValueOf127CharactersInA128ByteBuffer) {
    const std::string longValue(200, 'v');
    const std::optional<std::string> file = "[S]\nK=" + longValue + "\n";
    char out[128];
    EXPECT_EQ(sim::LookupProfileString(file, "S", "K", "", out, sizeof out), 127u);
    EXPECT_EQ(std::string(out), longValue.substr(0, 127));
}

// The system lookup copies after the opening quote, then drops the last character copied if the
// rest fitted: a quoted value whose rest is exactly one character too long loses a character.
TEST(IniLookup, QuotedValueAtTheBufferEdgeLosesItsLastCharacter) {
    const struct {
        size_t inner;  // characters between the quotes
        size_t seen;
    } cases[] = {{125, 125}, {126, 126}, {127, 126}, {128, 127}, {200, 127}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inner);
        const std::string inner(c.inner, 'q');
        const std::optional<std::string> file = "[S]\nK=\"" + inner + "\"\n";
        char out[128];
        EXPECT_EQ(sim::LookupProfileString(file, "S", "K", "", out, sizeof out), c.seen);
        EXPECT_EQ(std::string(out), inner.substr(0, c.seen));
    }
    char small[1] = {'X'};
    EXPECT_EQ(sim::LookupProfileString(std::string("[S]\nK=\"\"\n"), "S", "K", "", small, 1), 0u);
    EXPECT_EQ(small[0], '\0');
}

TEST(IniLookup, NullSectionOrKeyGivesTheFallback) {
    const std::optional<std::string> file = std::string("[S]\nK=1\n");
    char out[16];
    EXPECT_EQ(sim::LookupProfileString(file, nullptr, "K", "d", out, sizeof out), 1u);
    EXPECT_STREQ(out, "d");
    EXPECT_EQ(sim::LookupProfileString(file, "S", nullptr, "d", out, sizeof out), 1u);
    EXPECT_STREQ(out, "d");
}

}  // namespace

namespace {

// A key set into a file is what the lookup then finds, and no other key changes.
TEST(IniLookup, KeySetIntoAFileIsFoundFirstAndLeavesTheRest) {
    const char* const files[] = {
        "",
        "[GENERAL]\nLocTextPosX=12\n",
        "[GENERAL]\nA=false\nLocTextPosX=12",  // the key there already, no final line end
        "[general]\r\nLocTextPosX=12\r\n",     // CRLF, other letter case
        "[MULTIPLAYER]\nA=off\n[GENERAL]\nLocTextPosX=12\n[GENERAL]\nA=no\n",
        ";[GENERAL]\n[OTHER]\nLocTextPosX=5",  // no GENERAL section: one is added
    };
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const std::string edited = ini::SetIniFileValue(file, "GENERAL", "A", "true");
        EXPECT_EQ(sim::FindProfileValues(edited, {{"GENERAL", "A"}}).front(), std::optional<std::string>("true"))
            << edited;
        for (const auto& [section, key] : {std::pair<const char*, const char*>{"GENERAL", "LocTextPosX"},
                                           {"MULTIPLAYER", "A"},
                                           {"OTHER", "LocTextPosX"}}) {
            EXPECT_EQ(sim::FindProfileValues(edited, {{section, key}}), sim::FindProfileValues(file, {{section, key}}))
                << key;
        }
    }
}

}  // namespace
