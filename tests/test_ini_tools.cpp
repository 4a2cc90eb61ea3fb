// The preview tools' KOV.ini handling: the check's messages, editing one value in place, and the
// encodings a player's editor may have saved.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/ini/ini_check.h"
#include "sim/ini/ini_edit.h"
#include "sim/ini/ini_text.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_world.h"

namespace {

std::string Messages(const std::string& text) {
    std::string out;
    for (const sim::IniFinding& f : sim::CheckIni(text)) out += std::to_string(f.line) + ": " + f.message + "\n";
    return out;
}

TEST(IniCheck, SaysWhatThePluginMakesOfEachMistake) {
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {"[GENERAL]\nLocTextPosx=1\nLocTxtPosY=2\n", "3: LocTxtPosY is not a KOV.ini key, so the plug-in ignores it; the nearest is LocTextPosY.\n"},
        {"[GENERL]\nLocTextPosX=1\n", "1: [GENERL] is not a section of KOV.ini, so the keys under it are not read; the nearest is [GENERAL].\n"
                                      "2: LocTextPosX belongs under [GENERAL]; under [GENERL] the plug-in does not see it.\n"},
        {"[GENERAL]\r\nLocTextPosX=320px\r\n", "2: the plug-in reads 320 and ignores \"px\".\n"},
        {"[GENERAL]\nLocTextPosY=nan\n", "2: LocTextPosY is not a number (nan): the plug-in reads 0.\n"},
        {"[GENERAL]\nLocTextSizeMult=0.25\n", "2: LocTextSizeMult is 0.25, below its smallest value 0.5: the plug-in uses 0.5.\n"},
        {"[GENERAL]\nLocTextPosX=400 ; mine\n", "2: The comment after the value is read as part of it (\"400 ; mine\"): put comments on a line of their own.\n"},
        {"[MULTIPLAYER]\nDisplayPlayerBlips=YES\nShowPlayerObituaries='on'\nDisplayTeamBlipsOnly=Off\n", ""},
        {"[MULTIPLAYER]\nDisplayPlayerBlips=\"true \"\n",
         "2: \"true \" is not a switch word, so the plug-in reads DisplayPlayerBlips as off. Write true (or on, yes) to switch it on, false to switch it off.\n"},
        {"[GENERAL]\nLocTextPosX=1\n[general]\nLocTextPosY=2\n",
         "3: [general] comes a second time (first at line 1): the plug-in reads only the first one, so the keys under this one are ignored.\n"},
        {"[GENERAL]\nLocTextPosX\n", "2: LocTextPosX has no '=' and no value: the plug-in uses its default 320.\n"},
        {"\xEF\xBB\xBF[GENERAL]\nlocTEXTposx=1\nLOCTEXTPOSX=2\n", "3: LOCTEXTPOSX is set again (first at line 2): the plug-in uses the first one.\n"},
        // The plug-in's value buffer holds 127 characters: the 5 is not read, so the value is 0.
        {"[GENERAL]\nLocTextPosX=" + std::string(127, '0') + "5\n",
         "2: LocTextPosX is longer than the plug-in's 127 characters: it does not read the last 1.\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Messages(c.text), c.expected) << c.text;
}

TEST(IniEdit, ChangesOneValueAndKeepsTheRest) {
    const struct {
        const char* text;
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        // In place, spacing before '=' kept; the second section of the name is not the one read.
        {"; mine\r\n[GENERAL]\r\nLocTextPosX =320\r\n[GENERAL]\r\nLocTextPosX=1\r\n", "GENERAL", "LOCTEXTPOSX",
         "; mine\r\n[GENERAL]\r\nLocTextPosX =500\r\n[GENERAL]\r\nLocTextPosX=1\r\n"},
        // A comment after the old value moves to a line of its own.
        {"[MULTIPLAYER]\nDisplayPlayerBlips=true ; blips\n", "MULTIPLAYER", "DisplayPlayerBlips",
         "[MULTIPLAYER]\n; blips\nDisplayPlayerBlips=500\n"},
        // A missing key goes after the section's last key, before the next section's comments.
        {"[GENERAL]\nLocTextPosY=1\n\n; next\n[MULTIPLAYER]\n", "GENERAL", "LocTextPosX",
         "[GENERAL]\nLocTextPosY=1\nLocTextPosX=500\n\n; next\n[MULTIPLAYER]\n"},
        // A missing section goes at the end.
        {"[GENERAL]\r\nLocTextPosY=1", "MULTIPLAYER", "DisplayPlayerBlips",
         "[GENERAL]\r\nLocTextPosY=1\r\n\r\n[MULTIPLAYER]\r\nDisplayPlayerBlips=500\r\n"},
        {"", "GENERAL", "LocTextPosX", "[GENERAL]\r\nLocTextPosX=500\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(sim::SetIniValue(c.text, c.section, c.key, "500"), c.expected) << c.text;
}

// kov-preview's rows with AnchorToRadar off and on keep every other byte of the file, its own
// encoding and line ends included.
TEST(IniEdit, AnchorToRadarRowsKeepTheRestOfTheFile) {
    const std::string before = "; R\u00E9glages\n[GENERAL]\r\nAnchorToRadar=false\r\nLocTextPosX=900";
    const std::string after = "; R\u00E9glages\n[GENERAL]\r\nAnchorToRadar=true\r\nLocTextPosX=900";
    for (const sim::IniEncodingRow& row : sim::kIniEncodings) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(preview::WithAnchorToRadar(sim::EncodeIniText(before, row.encoding), true), sim::EncodeIniText(after, row.encoding));
    }
    EXPECT_EQ(preview::WithAnchorToRadar(std::nullopt, true), "[GENERAL]\r\nAnchorToRadar=true\r\n");
}

TEST(IniFile, DecodesWhatEditorsSaveAndSavesItBackTheSameWay) {
    using sim::IniEncoding;
    const std::string text = "; Stra\xC3\x9F" "e \xE2\x82\xAC\r\n[GENERAL]\nLocTextPosX=1\r\n";  // "Straße €"
    const struct {
        IniEncoding encoding;
        std::string bytes;  // of text in that encoding
    } cases[] = {
        {IniEncoding::Utf8, text},
        {IniEncoding::Utf8Mark, "\xEF\xBB\xBF" + text},
        {IniEncoding::CodePage1252, "; Stra\xDF" "e \x80\r\n[GENERAL]\nLocTextPosX=1\r\n"},
        {IniEncoding::Utf16Le, std::string("\xFF\xFE;\0 \0S\0t\0r\0a\0\xDF\0e\0 \0\xAC\x20\r\0\n\0[\0", 28)},
        {IniEncoding::Utf16Be, std::string("\xFE\xFF\0;\0 \0S\0t\0r\0a\0\xDF\0e\0 \x20\xAC\0\r\0\n\0[", 28)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(sim::IniEncodingName(c.encoding));
        const std::string saved = sim::EncodeIniText(text, c.encoding);
        EXPECT_EQ(saved.substr(0, c.bytes.size()), c.bytes);
        const sim::IniText read = sim::DecodeIniText(saved);
        EXPECT_EQ(read.encoding, c.encoding);
        EXPECT_EQ(read.editText, text);
        // What we save, the lookup reads as that text: code page 1252 for a file with a byte order
        // mark or an 8-bit one, the bytes themselves for UTF-8 without a mark.
        const std::string codePage = sim::EncodeIniText(text, IniEncoding::CodePage1252);
        EXPECT_EQ(read.lookupText, c.encoding == IniEncoding::Utf8 ? saved : codePage);
    }
    // Characters an 8-bit file cannot hold become '?'; a lone byte that is not UTF-8 makes the file 8-bit.
    EXPECT_EQ(sim::EncodeIniText("\xE2\x86\x92", IniEncoding::CodePage1252), "?");
    EXPECT_EQ(sim::DecodeIniText("a\xE9").encoding, IniEncoding::CodePage1252);
    EXPECT_EQ(sim::DecodeIniText("a\xC3\xA9").encoding, IniEncoding::Utf8);
}

}  // namespace
