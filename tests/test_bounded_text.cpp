// The plug-in's bounded text helpers give what the C formatter gives for the same format, cut at
// the buffer, and never write past it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "text/bounded_text.h"

namespace {

constexpr char kGuard = '\x7F';

// A buffer of the given capacity followed by guard bytes that must survive.
struct GuardedBuffer {
    char bytes[96];
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
