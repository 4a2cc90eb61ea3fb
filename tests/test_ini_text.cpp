// KOV.ini bytes as the Windows profile lookup sees them. The expected texts are what the system's
// GetPrivateProfileStringA returned for the same bytes (code page 1252); the Wine differential
// scenarios under scenarios/ini/ check the same through the plug-in.
#include <gtest/gtest.h>

#include <string>

#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"

namespace {

using sim::IniEncoding;

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes;
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    IniEncoding encoding;
    std::string text;
};

TEST(IniText, DecodesAsTheSystemLookupDoes) {
    const DecodeCase cases[] = {
        {"no mark: the bytes as they are",
         "A=Stra\xDF"
         "e\r\nB=\xC3\x9F\x81\x8D",
         IniEncoding::CodePage1252,
         "A=Stra\xDF"
         "e\r\nB=\xC3\x9F\x81\x8D"},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "A=Stra\xC3\x9F"
         "e \xE2\x82\xAC",
         IniEncoding::Utf8Mark,
         "A=Stra\xDF"
         "e \x80"},
        {"UTF-8: best fit and no byte",
         "\xEF\xBB\xBF"
         "\xC4\x81\xEF\xBD\x94\xE4\xB8\xAD",
         IniEncoding::Utf8Mark, "at?"},
        {"UTF-8: beyond U+FFFF is two units",
         "\xEF\xBB\xBF"
         "x\xF0\x9F\x98\x80y",
         IniEncoding::Utf8Mark, "x??y"},
        {"UTF-8: a bad continuation starts anew",
         "\xEF\xBB\xBF"
         "x\xC3(y",
         IniEncoding::Utf8Mark, "x?(y"},
        {"UTF-8: a cut sequence is one ?",
         "\xEF\xBB\xBF"
         "x\xE2\x82y",
         IniEncoding::Utf8Mark, "x?y"},
        {"UTF-8: encoded surrogate",
         "\xEF\xBB\xBF"
         "x\xED\xA0\x80y",
         IniEncoding::Utf8Mark, "x??y"},
        {"UTF-8: overlong form",
         "\xEF\xBB\xBF"
         "x\xC0\xAFy",
         IniEncoding::Utf8Mark, "x??y"},
        {"UTF-8: stray byte",
         "\xEF\xBB\xBF"
         "x\xFFy",
         IniEncoding::Utf8Mark, "x?y"},
        {"UTF-8: cut at the end",
         "\xEF\xBB\xBF"
         "x\xF0\x9F",
         IniEncoding::Utf8Mark, "x?"},
        {"UTF-16 LE mark (Notepad's Unicode)", "\xFF\xFE" + Utf16(u"A=Stra\u00DFe\r\n;\u00E9", false),
         IniEncoding::Utf16Le,
         "A=Stra\xDF"
         "e\r\n;\xE9"},
        {"UTF-16 BE mark", "\xFE\xFF" + Utf16(u"A=\u0101\u20AC", true), IniEncoding::Utf16Be, "A=a\x80"},
        {"UTF-16: pair, lone halves, odd last byte", "\xFF\xFE" + Utf16(u"\U0001F600|\xD800|\xDC00", false) + "Z",
         IniEncoding::Utf16Le, "??|?|?"},
        {"UTF-16: full-width letters fit ASCII", "\xFF\xFE" + Utf16(u"\uFF54\uFF52\uFF55\uFF45", false),
         IniEncoding::Utf16Le, "true"},
        {"UTF-16 without a mark is read byte by byte", Utf16(u"A=1", false), IniEncoding::Utf8,
         std::string("A\0=\0"
                     "1\0",
                     6)},
        {"C1 controls the code page lacks",
         "\xEF\xBB\xBF"
         "\xC2\x80\xC2\x81\xC2\x9D\xC2\x9F",
         IniEncoding::Utf8Mark, "?\x81\x9D?"},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const sim::IniText decoded = sim::DecodeIniText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.lookupText, c.text);
    }
}

// A settings file Notepad saved as "Unicode", with an accented comment, reads like its UTF-8 twin.
TEST(IniText, LookupReadsEveryEncodingOfTheSameFile) {
    const std::string text = "; R\u00E9glages\r\n[GENERAL]\r\nLocTextPosX=200\r\n";
    for (const sim::IniEncodingRow& row : sim::kIniEncodings) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> bytes = sim::EncodeIniText(text, row.encoding);
        const sim::IniText decoded = sim::DecodeIniText(*bytes);
        EXPECT_EQ(decoded.encoding, row.encoding);
        EXPECT_EQ(decoded.editText, text);
        char out[16];
        sim::LookupProfileString(bytes, "GENERAL", "LocTextPosX", "320", out, sizeof out);
        EXPECT_STREQ(out, "200");
    }
    size_t unwritable = 0;
    EXPECT_EQ(sim::EncodeIniText("\u0101=\u20AC", IniEncoding::CodePage1252, &unwritable), "?=\x80");
    EXPECT_EQ(unwritable, 1u) << "no byte of its own for a character the code page only fits best";
}

}  // namespace
