// The preview tools' KOV.ini handling: the check's messages, editing one value in place, and the
// encodings a player's editor may have saved.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/ini/ini_text.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/ini_document.h"
#include "tools/ini/ini_edit.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_world.h"

namespace {

std::string Messages(const std::string& text) {
    std::string out;
    for (const ini::IniFinding& f : ini::CheckIni(text)) {
        out += std::to_string(f.line) + (f.note ? ": note: " : ": ") + f.message + "\n";
    }
    return out;
}

TEST(IniCheck, SaysWhatThePluginMakesOfEachMistake) {
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {"[GENERAL]\nLocTextPosx=1\nLocTxtPosY=2\n",
         "3: LocTxtPosY is not a KOV.ini key, so the plug-in ignores it; the nearest is LocTextPosY.\n"},
        {"[GENERL]\nLocTextPosX=1\n",
         "1: [GENERL] is not a section of KOV.ini, so the keys under it are not read; the nearest is [GENERAL].\n"
         "2: LocTextPosX belongs under [GENERAL]; under [GENERL] the plug-in does not see it.\n"},
        {"[GENERAL]\r\nLocTextPosX=320px\r\n", "2: the plug-in reads 320 and ignores \"px\".\n"},
        // A placement key the plug-in reads as none: placement is off, and why.
        {"[GENERAL]\nPlacementKey=l\n[MULTIPLAYER]\n[GENERAL]\n",
         "2: L is the display toggle's key, so placement is off: write one letter A-Z or digit 0-9 other than L (K "
         "for Ctrl+Alt+K).\n"
         "4: [GENERAL] comes a second time (first at line 1): the plug-in reads only the first one, so the keys under "
         "this one are ignored.\n"},
        {"[GENERAL]\nPlacementKey=Ctrl+K\nHideWithGameHud=1\n",
         "2: \"Ctrl+K\" is not one letter or digit, so placement is off: write one letter A-Z or digit 0-9 other "
         "than L (K for Ctrl+Alt+K).\n"
         "3: \"1\" is not a switch word, so the plug-in reads HideWithGameHud as off. Write true (or on, yes) to "
         "switch it on, false to switch it off.\n"},
        {"[GENERAL]\nLocTextPosY=nan\n", "2: LocTextPosY is not a number (nan): the plug-in reads 0.\n"},
        {"[GENERAL]\nLocTextSizeMult=0.25\n",
         "2: LocTextSizeMult is 0.25, below its smallest value 0.5: the plug-in uses 0.5.\n"},
        // A comment after a number the plug-in still reads as meant is only a note; after a switch it is a mistake.
        {"[GENERAL]\nLocTextPosX=400 ; mine\n",
         "2: note: The comment after the number is read as part of the value, but the plug-in still reads 400 as "
         "meant; a comment on a line of its own is safer.\n"},
        {"[GENERAL]\nAnchorToRadar=on;x\n",
         "2: The comment after the value is read as part of it (\"on;x\"): put comments on a line of their own.\n"
         "2: \"on;x\" is not a switch word, so the plug-in reads AnchorToRadar as off. Write true (or on, yes) to "
         "switch it on, false to switch it off.\n"},
        // Infinite after the float conversion, the words and numbers past the float range alike;
        // minus infinity is clamped.
        {"[GENERAL]\nLocTextPosX=1e39\nLocTextPosY=infinity\nLocTextSizeMult=-inf\n",
         "2: LocTextPosX is infinite to the plug-in (1e+39 is past the largest number it holds): no screen can show "
         "the panel there.\n"
         "3: LocTextPosY is infinite to the plug-in: no screen can show the panel there.\n"
         "4: LocTextSizeMult is minus infinity, below its smallest value 0.5: the plug-in uses 0.5.\n"},
        {"[GENERAL]\n=1\n", "2: This line has no setting name before its '=', so the plug-in ignores it.\n"},
        {std::string("[GENERAL]\nLocTextPosX=12\0"
                     "34\n",
                     28),
         "2: LocTextPosX holds a NUL byte (shown as \u2400): the plug-in reads only what comes before it, \"12\", and "
         "uses 12.\n"},
        {std::string("\x01\x02\x03\x04\x05\x06\x07\x08[GENERAL]", 17),
         "0: KOV.ini is not a text file the game can read (8 of its 17 characters are control characters), so the "
         "check reads no further. Open the KOV.ini text file from the game's folder, or start again from the "
         "defaults.\n"},
        // One line for a file that is no text, naming what it looks like, instead of one for each of its lines.
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x07\x80\0\0\x04\x38\x08\x06\0\0\0\n[GENERAL]\nx\n", 42),
         "0: KOV.ini is not a text file the game can read (it looks like a PNG picture; 14 of its 42 characters are "
         "control characters), so the check reads no further. Open the KOV.ini text file from the game's folder, "
         "or start again from the defaults.\n"},
        // Death notices come from the blip pass.
        {"[MULTIPLAYER]\nDisplayPlayerBlips=false\n",
         "2: note: ShowPlayerObituaries is on, but with DisplayPlayerBlips off the plug-in posts no death notices: the "
         "blips are what notice a death.\n"},
        {"[MULTIPLAYER]\nDisplayPlayerBlips=YES\nShowPlayerObituaries='on'\nDisplayTeamBlipsOnly=Off\n", ""},
        {"[MULTIPLAYER]\nDisplayPlayerBlips=\"true \"\n",
         "2: \"true \" is not a switch word, so the plug-in reads DisplayPlayerBlips as off. Write true (or on, yes) "
         "to switch it on, false to switch it off.\n"
         "2: note: ShowPlayerObituaries is on, but with DisplayPlayerBlips off the plug-in posts no death notices: the "
         "blips are what notice a death.\n"},
        {"[GENERAL]\nLocTextPosX=1\n[general]\nLocTextPosY=2\n",
         "3: [general] comes a second time (first at line 1): the plug-in reads only the first one, so the keys under "
         "this one are ignored.\n"},
        {"[GENERAL]\nLocTextPosX\n", "2: LocTextPosX has no '=' and no value: the plug-in uses its default 320.\n"},
        {"\xEF\xBB\xBF[GENERAL]\nlocTEXTposx=1\nLOCTEXTPOSX=2\n",
         "3: LOCTEXTPOSX is set again (first at line 2): the plug-in uses the first one.\n"},
        // The plug-in's value buffer holds 127 characters: the 5 is not read, so the value is 0.
        {"[GENERAL]\nLocTextPosX=" + std::string(127, '0') + "5\n",
         "2: LocTextPosX is longer than the plug-in's 127 characters: it does not read the last 1, and uses 0.\n"},
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
        // A blank line after a line ending in a lone CR ends in CR too: CR then LF would read back
        // as one line end, the blank line gone and every later line one off.
        {"; a\n[GENERAL]\r", "MULTIPLAYER", "DisplayPlayerBlips",
         "; a\n[GENERAL]\r\r[MULTIPLAYER]\nDisplayPlayerBlips=500\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::SetIniFileValue(c.text, c.section, c.key, "500"), c.expected) << c.text;
}

// kov-preview's rows with AnchorToRadar off and on keep every other byte of the file, its own
// encoding and line ends included.
TEST(IniEdit, AnchorToRadarRowsKeepTheRestOfTheFile) {
    const std::string before = "; R\u00E9glages\n[GENERAL]\r\nAnchorToRadar=false\r\nLocTextPosX=900";
    const std::string after = "; R\u00E9glages\n[GENERAL]\r\nAnchorToRadar=true\r\nLocTextPosX=900";
    for (const sim::IniEncodingRow& row : sim::kIniEncodings) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(preview::WithAnchorToRadar(sim::EncodeIniText(before, row.encoding), true),
                  sim::EncodeIniText(after, row.encoding));
    }
    EXPECT_EQ(preview::WithAnchorToRadar(std::nullopt, true), "[GENERAL]\r\nAnchorToRadar=true\r\n");
}

// Bytes are bytes: whatever a file holds, opening it and saving it without an edit gives it back,
// and an edit of one line leaves every other byte, line ends included, as it was.
TEST(IniDocument, KeepsEveryByteNotEdited) {
    const struct {
        const char* name;
        std::string bytes;
        std::string edited;  // LocTextPosX set to 500
    } cases[] = {
        {"NUL in a comment", std::string("; a\0b\r\n[GENERAL]\r\nLocTextPosX=1\r\n[MULTIPLAYER]\r\n", 42),
         std::string("; a\0b\r\n[GENERAL]\r\nLocTextPosX=500\r\n[MULTIPLAYER]\r\n", 44)},
        {"not UTF-8", "; \xFF\xC3\n[GENERAL]\nLocTextPosX=1\xE9", "; \xFF\xC3\n[GENERAL]\nLocTextPosX=500"},
        {"mixed line ends, none at the end", "[GENERAL]\rX=1\n\r\nLocTextPosX=1\r\n\n;",
         "[GENERAL]\rX=1\n\r\nLocTextPosX=500\r\n\n;"},
        {"malformed UTF-8 after a mark", "\xEF\xBB\xBF;\xC0\xAF\n[GENERAL]\nLocTextPosX=1",
         "\xEF\xBB\xBF;\xC0\xAF\n[GENERAL]\nLocTextPosX=500"},
        // The odd byte cannot end a line without shifting every unit after it: that line is written anew.
        {"UTF-16 with an odd last byte", std::string("\xFF\xFE[\0G\0]\0\n\0;\0\0\0A", 15),
         std::string("\xFF\xFE[\0G\0]\0\n\0;\0\0\0\xFD\xFF", 16) +
             sim::EncodeIniBody("\n\n[GENERAL]\nLocTextPosX=500\n", sim::IniEncoding::Utf16Le)},
        {"a new key takes the file's own line end", "[GENERAL]\nLocTextPosY=1\r\n",
         "[GENERAL]\nLocTextPosY=1\r\nLocTextPosX=500\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ini::IniDocument document = ini::OpenIniDocument(c.bytes);
        EXPECT_EQ(ini::IniDocumentBytes(document), c.bytes);
        EXPECT_EQ(ini::IniDocumentBytes(ini::ApplyShownText(document, ini::ShownIniText(document)).document), c.bytes);
        EXPECT_EQ(ini::SetIniFileValue(c.bytes, "GENERAL", "LocTextPosX", "500"), c.edited);
    }
}

TEST(IniDocument, EditsLineByLineAndSaysWhatCannotBeKept) {
    // A NUL shows as a stand-in that the edit writes back; a line inserted above keeps the rest matched.
    const std::string bytes("[GENERAL]\r\nLocTextPosX=1\0x\n; \xE9\r", 31);
    const ini::IniDocument document = ini::OpenIniDocument(bytes);
    EXPECT_EQ(ini::ShownIniText(document), "[GENERAL]\nLocTextPosX=1\u2400x\n; \u00E9\n");
    const ini::IniTextEdit inserted =
        ini::ApplyShownText(document, "; new\n[GENERAL]\nLocTextPosX=1\u2400x\n; \u00E9\n");
    EXPECT_EQ(ini::IniDocumentBytes(inserted.document), "; new\r\n" + bytes);
    EXPECT_TRUE(inserted.unkeptLines.empty());
    // An 8-bit file cannot hold an arrow: the changed line says so.
    const ini::IniTextEdit arrow = ini::ApplyShownText(document, "[GENERAL]\nLocTextPosX=1\u2400x\n; \u2192\n");
    EXPECT_EQ(ini::IniDocumentBytes(arrow.document), std::string("[GENERAL]\r\nLocTextPosX=1\0x\n; ?\r", 31));
    EXPECT_EQ(arrow.unkeptLines, std::vector<int>{3});

    // A control's edit says the same: a value the file cannot hold, and a UTF-16 odd last byte that
    // a new line after it makes its line be written anew.
    ini::IniDocument eightBit = document;
    EXPECT_EQ(ini::SetIniDocumentValue(eightBit, "GENERAL", "LocTextPosX", "1\u2192").unkeptLines, std::vector<int>{2});
    ini::IniDocument odd = ini::OpenIniDocument(std::string("\xFF\xFE[\0G\0]\0\n\0A", 11));
    const ini::IniLineChange added = ini::SetIniDocumentValue(odd, "H", "K", "1");
    EXPECT_EQ(added.unkeptLines, std::vector<int>{2});
    EXPECT_EQ(ini::IniDocumentBytes(odd), std::string("\xFF\xFE[\0G\0]\0\n\0\xFD\xFF", 12) +
                                              sim::EncodeIniBody("\n\n[H]\nK=1\n", sim::IniEncoding::Utf16Le));
}

TEST(IniFile, DecodesWhatEditorsSaveAndSavesItBackTheSameWay) {
    using sim::IniEncoding;
    const std::string text =
        "; Stra\xC3\x9F"
        "e \xE2\x82\xAC\r\n[GENERAL]\nLocTextPosX=1\r\n";  // "Straße €"
    const struct {
        IniEncoding encoding;
        std::string bytes;  // of text in that encoding
    } cases[] = {
        {IniEncoding::Utf8, text},
        {IniEncoding::Utf8Mark, "\xEF\xBB\xBF" + text},
        {IniEncoding::CodePage1252,
         "; Stra\xDF"
         "e \x80\r\n[GENERAL]\nLocTextPosX=1\r\n"},
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
