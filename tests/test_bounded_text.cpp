// The plug-in's bounded text helpers give what the C formatter gives for the same format, cut at
// the buffer, and never write past it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "text/bounded_text.h"
#include "utf8_support.h"

namespace {

constexpr char kGuard = '\x7F';

// A buffer of the given capacity followed by guard bytes that must survive.
struct GuardedBuffer {
    char bytes[160];
    size_t capacity;
    explicit GuardedBuffer(size_t cap) : capacity(cap) { std::memset(bytes, kGuard, sizeof bytes); }
    bool GuardIntact() const {
        for (size_t i = capacity; i < sizeof bytes; ++i) {
            if (bytes[i] != kGuard) return false;
        }
        return true;
    }
};

TEST(BoundedText, DecimalTextMatchesZeroPaddedFormat) {
    const int32_t values[] = {0, 3, 9, 10, 31, 99, 100, 12345, -1, -5, -10, INT_MAX, INT_MIN};
    // Widths past the 22 characters a temporary of the old helper held, and past the buffer.
    for (int width : {0, 2, 3, 23, 40, 90}) {
        for (int32_t value : values) {
            for (size_t capacity : {size_t{1}, size_t{2}, size_t{3}, size_t{8}, size_t{16}, size_t{64}}) {
                char expected[128];
                std::snprintf(expected, sizeof expected, "%0*d", width, value);
                expected[capacity - 1 < sizeof expected ? capacity - 1 : 0] = '\0';
                GuardedBuffer out(capacity);
                DecimalText(out.bytes, capacity, value, width);
                EXPECT_STREQ(out.bytes, expected) << value << " width " << width << " capacity " << capacity;
                EXPECT_TRUE(out.GuardIntact());
            }
        }
    }
}

TEST(BoundedText, JoinTextMatchesConcatenatingFormatAndCuts) {
    const std::string longName(70, 'n');
    for (size_t capacity : {size_t{1}, size_t{2}, size_t{10}, size_t{32}, size_t{64}}) {
        char expected[128];
        std::snprintf(expected, sizeof expected, "~w~%s ~c~killed by ~w~%s.", longName.c_str(), "Killer");
        expected[capacity - 1] = '\0';
        GuardedBuffer out(capacity);
        JoinText(out.bytes, capacity, {"~w~", longName.c_str(), " ~c~killed by ~w~", "Killer", "."});
        EXPECT_STREQ(out.bytes, expected) << "capacity " << capacity;
        EXPECT_TRUE(out.GuardIntact());
    }
}

// The source in a heap block of exactly its size with its terminator, so a read past the
// terminator is a read past the block (the sanitizer suite catches it).
std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// Characters of two, three and four bytes, each placed across every byte of the cut of every
// capacity the plug-in's buffers have: a copy or a join keeps whole characters only, and a join
// ends with the part that was cut.
TEST(BoundedText, CutsEndOnAWholeCharacter) {
    const char* characters[] = {"\xC3\xA9", "\xD0\x96", "\xE2\x82\xAC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"};
    for (size_t capacity :
         {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{32}, size_t{64}, size_t{128}}) {
        for (const char* character : characters) {
            const size_t width = std::strlen(character);
            // From both characters just before the cut to both just after it.
            for (size_t before = capacity > 2 * width ? capacity - 1 - 2 * width : 0; before < capacity; ++before) {
                const std::string text = std::string(before, 'a') + character + character + "z";
                SCOPED_TRACE(std::to_string(before) + " bytes, then " + std::to_string(width) +
                             "-byte characters; capacity " + std::to_string(capacity));
                const std::string kept = simtest::WholeCharacterPrefix(text, capacity - 1);
                const auto source = ExactCopy(text);
                GuardedBuffer copy(capacity);
                EXPECT_EQ(CopyText(copy.bytes, capacity, source.get()), kept.size());
                EXPECT_EQ(std::string(copy.bytes), kept);
                EXPECT_TRUE(copy.GuardIntact());

                GuardedBuffer joined(capacity);
                JoinText(joined.bytes, capacity, {"", source.get(), "."});
                const std::string whole = text + ".";
                EXPECT_EQ(std::string(joined.bytes),
                          kept.size() == text.size() ? simtest::WholeCharacterPrefix(whole, capacity - 1) : kept);
                EXPECT_TRUE(joined.GuardIntact());
            }
        }
    }
}

// Bytes that are not UTF-8 are cut where they fall: only a well-formed sequence the cut would
// split is left out, and nothing is read past the source's terminator.
TEST(BoundedText, BytesThatAreNotUtf8AreCutWhereTheyFall) {
    struct Case {
        const char* what;
        std::string text;
        std::string kept;  // in a buffer of 6 bytes
    };
    const Case cases[] = {
        // clang-format off
        {"a well-formed sequence split",         "abc\xE2\x82\xAC",       "abc"},
        {"stray continuation bytes",             "abcd\x80\x80\x80",      "abcd\x80"},
        {"a three-byte lead that misses a byte", "abcd\xE2\x82z",          "abcd\xE2"},
        {"a lead cut off by the terminator",     "abcd\xE2\x82",           "abcd\xE2"},
        {"a four-byte lead that misses a byte",  "abc\xF0\x9F\x98z",       "abc\xF0\x9F"},
        {"an overlong form",                     "abcd\xC0\x80",           "abcd\xC0"},
        {"an overlong three-byte form",          "abc\xE0\x80\x80",       "abc\xE0\x80"},
        {"a surrogate",                          "abc\xED\xA0\x80",       "abc\xED\xA0"},
        {"past U+10FFFF",                        "abc\xF4\x90\x80\x80",   "abc\xF4\x90"},
        {"a byte that starts nothing",           "abcd\xFF\x80",           "abcd\xFF"},
        {"more continuation bytes than a character holds", "a\xF0\x9F\x98\x80\x80\x80", "a\xF0\x9F\x98\x80"},
        {"a Latin-1 text",                       "Jos\xE9 Mar\xED" "a",   "Jos\xE9 "},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto source = ExactCopy(c.text);
        GuardedBuffer out(6);
        CopyText(out.bytes, 6, source.get());
        EXPECT_EQ(std::string(out.bytes), c.kept);
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(BoundedText, NullTextsReadAsEmpty) {
    char out[16];
    CopyText(out, nullptr);
    EXPECT_STREQ(out, "");
    JoinText(out, {"a", nullptr, "b"});
    EXPECT_STREQ(out, "ab");
}

TEST(BoundedText, CaseInsensitiveEqualityIsWholeText) {
    EXPECT_TRUE(TextEqualsIgnoringCase("DEL PERRO FWY", "Del Perro Fwy"));
    EXPECT_TRUE(TextEqualsIgnoringCase("", ""));
    EXPECT_FALSE(TextEqualsIgnoringCase("Davis Ave", "Davis Ave "));
    EXPECT_FALSE(TextEqualsIgnoringCase("Davis", "Davis Ave"));
    EXPECT_FALSE(TextEqualsIgnoringCase("[", "{"));  // only letters fold
}

int FormatInto(char (&out)[512], const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = FormatTextV(out, sizeof out, format, args);
    va_end(args);
    return written;
}

TEST(BoundedText, LongFormattedLineIsCutAt511Characters) {
    const std::string arg(600, 'x');
    char out[512];
    EXPECT_EQ(FormatInto(out, "%s", arg.c_str()), 600);
    EXPECT_EQ(std::string(out), arg.substr(0, 511));
}

}  // namespace
