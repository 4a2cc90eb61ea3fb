// kov-preview and kov-demo as a player or the build runs them: arguments, errors and exit codes,
// the world each option describes, and the demo tour's stops and pictures.
#include <cairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "preview_support.h"
#include "sim/game/frame_summary.h"
#include "sim/ini/ini_text.h"

namespace {

namespace fs = std::filesystem;
using previewtest::PreviewScene;

struct ToolRun {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

// With the plug-in under test, unless the arguments name one.
ToolRun RunTool(const std::string& program, const std::string& args) {
    ToolRun run;
    const std::string plugin =
        args.find("--plugin ") == std::string::npos ? " --plugin '" + simtest::PluginPath() + "' " : " ";
    const std::string command = "'" + program + "'" + plugin + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The tool's own lines, without the notes a sanitizer build adds ("==1234==WARNING: ...").
std::vector<std::string> ToolLines(const std::string& output) {
    std::vector<std::string> lines;
    for (const std::string& line : sim::SplitLines(output)) {
        if (line.rfind("==", 0) != 0) lines.push_back(line);
    }
    return lines;
}

class PreviewTool : public ::testing::Test {
protected:
    void SetUp() override { dir_ = sim::MakeTempDirectory("kov-preview-test-"); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(PreviewTool, RejectsBadArgumentsWithAClearMessage) {
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "KOV.asi", std::string("MZ\x90\0", 4)));
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    struct Case {
        std::string args;
        int exitCode;
        const char* message;
    };
    const std::string out = " -o '" + Path("p.png") + "'";
    const Case cases[] = {
        {"", 2, "no output file"},
        {"--bogus" + out, 2, "unknown option \"--bogus\""},
        {"-o", 2, "-o needs a value"},
        {"--size 0x720" + out, 2, "--size wants WIDTHxHEIGHT"},
        {"--size 1920" + out, 2, "--size wants WIDTHxHEIGHT"},
        {"--size 1920x1080x2" + out, 2, "--size wants WIDTHxHEIGHT"},
        {"--heading north" + out, 2, "--heading wants a number"},
        {"--pos 1,2" + out, 2, "--pos wants three numbers"},
        {"--at 1" + out, 2, "--at wants two or three numbers X,Y[,Z] within the float range, got \"1\""},
        {"--at 1,2,3,4" + out, 2, "--at wants two or three numbers"},
        {"--at 1,north" + out, 2, "--at wants two or three numbers"},
        {"--at 1,2,1e39" + out, 2, "--at wants two or three numbers"},
        {"--offroad somewhat" + out, 2, "--offroad wants near, far or none"},
        {"--notice maybe" + out, 2, "--notice wants enabled or disabled"},
        {"--session-players 33" + out, 2, "--session-players wants 1 to 32"},
        {"--player-list" + out, 2, "--player-list needs --session-players"},
        {"--session-players 3 --death 3" + out, 2, "--death: the slots must be players"},
        {"--session-players 3 --death 0" + out, 2, "--death: the slots must be players"},
        {"--death 1" + out, 2, "--death needs --session-players"},
        {"--crop 0.5,0.5,0.6,0.1" + out, 2, "--crop wants X,Y,W,H"},
        {"--zoom 0" + out, 2, "--zoom wants a number from 1/1024 to 4"},
        {"--safe-zone 0.8" + out, 2, "--safe-zone wants a number from 0.9 to 1.0"},
        {"--size 1280x720,wide" + out, 2,
         "--size wants WIDTHxHEIGHT of 320x240 to 16384x16384 pixels (or all), got \"wide\""},
        // clang-format off
        {"--tile-height 8" + out,                     2, "--tile-height wants a whole number of pixels"},
        {"-o '" + Path("p.jpg") + "'",                2, "the output file must end in .png or .svg"},
        {"--ini '" + Path("missing.ini") + "'" + out, 1, "missing.ini: no such file"},
        {"--ini '" + dir_.string() + "'" + out,       1, ": a folder, not a file"},
        {"--street 'Stra\xDF" "e'" + out,             2, "--street wants UTF-8 text"},
        // clang-format on
        {"--zoom 3 --size 1280x720 --size 1920x1080 --size 2560x1440 --size 3440x1440" + out, 2,
         "27680x4382 pixels, more than 100000000 pixels in all"},
        {"--zoom 4 --size 9000x300" + out, 2, "36000x1200 pixels, more than 32767 a side"},
        {"--plugin '" + Path("KOV.asi") + "'" + out, 1, "it is a Windows DLL (KOV.asi); it runs under Wine"},
        {"-o '" + Path("no-dir/p.png") + "'", 1, "no-dir/p.png\": no folder"},
        // An empty path was taken as none, an option given twice as either of the two.
        {"-o ''", 2, "-o wants a path, got an empty one"},
        {"--zoom 1 --zoom 2" + out, 2, "--zoom is given twice"},
        {"--plugin '" + Path("none.so") + "'" + out, 1, "none.so: no such file"},
        {"--plugin /dev/zero" + out, 1, "cannot load the plug-in /dev/zero: a device, not a regular file"},
        {"--ini '" + Path("fifo") + "'" + out, 1, "fifo: a FIFO (named pipe), not a regular file"},
        {"--heading 1e39" + out, 2, "--heading wants a number of degrees from -1000000 to 1000000"},
        // clang-format off
        {"--pos 0,1e39,0" + out,                      2, "--pos wants three numbers X,Y,Z within the float range"},
        {"--crop 0,0,1e-300,1" + out,                 2, "--crop wants X,Y,W,H"},
        {"--zoom 1e-300" + out,                       2, "--zoom wants a number from 1/1024 to 4"},
        // clang-format on
        {"--size 16384x16384 --crop 0,0,0.001,0.001 --tile-height 382" + out, 2,
         "at 23.3 picture pixels per screen pixel, more than 4"},
        {"--size all --size all --size all --safe-zone 1 --safe-zone 0.9 --both-modes" + out, 2,
         "the picture would show 96 screens"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(KOV_PREVIEW_PATH, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        const size_t line = run.output.find("kov-preview: ");
        EXPECT_NE(line, std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.message, line), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(Path("p.png")));
}

TEST_F(PreviewTool, HelpExplainsEveryOption) {
    const ToolRun run = RunTool(KOV_PREVIEW_PATH, "--help");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--ini FILE",
                               "--size WxH[,WxH...]|all",
                               "--safe-zone S",
                               "--both-modes",
                               "--report",
                               "--street NAME",
                               "--crossing NAME",
                               "--zone CODE",
                               "--pos X,Y,Z",
                               "--at X,Y[,Z]",
                               "--heading DEG",
                               "--offroad near|far|none",
                               "--bigmap",
                               "--session-players N",
                               "--player-list",
                               "--death SLOT[:KILLER]",
                               "--notice enabled|disabled",
                               "--crop X,Y,W,H",
                               "--zoom F",
                               "--plugin PATH",
                               "-o FILE"}) {
        const std::string head = std::string("\n  ") + option + "\n      ";
        const size_t at = run.output.find(head);
        ASSERT_NE(at, std::string::npos) << option;
        const size_t explanation = at + head.size();
        EXPECT_GT(run.output.find('\n', explanation) - explanation, 20u) << option << " has no explanation";
    }
}

TEST_F(PreviewTool, WritesSeveralSizesSideBySideWithTheGivenIni) {
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "KOV.ini", "[GENERAL]\nLocTextPosX=900\n"));
    const ToolRun run = RunTool(
        KOV_PREVIEW_PATH, "--ini '" + Path("KOV.ini") + "' --size 640x360 --size 860x360 -o '" + Path("p.png") + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The panel's first text moved to the anchor of the given file: 900 design units.
    const size_t first = run.output.find('(');
    ASSERT_NE(first, std::string::npos) << run.output;
    EXPECT_NEAR(std::stod(run.output.substr(first + 1)), 900 * 0.6666667 / 1280, 1e-5) << run.output;
    cairo_surface_t* png = cairo_image_surface_create_from_png(Path("p.png").c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 16 + 640 + 16 + 860 + 16);
    cairo_surface_destroy(png);
}

// The report runs the plug-in on each screen asked for, with AnchorToRadar off and on, and needs no picture.
TEST_F(PreviewTool, ReportsTheGapToTheRadarPerScreen) {
    const ToolRun run = RunTool(KOV_PREVIEW_PATH, "--report --size 3440x1440,1920x1080 --safe-zone 1.0");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("| 3440x1440 |      1.00 |    224.9 (168.6) |     78.2 (58.6) |"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("| 1920x1080 |      1.00 |      58.6 (58.6) |     58.6 (58.6) |"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("0.90"), std::string::npos) << "only the safe zone asked for";
}

// A position no pixel count holds is said in words, never as the integer a conversion makes of it.
TEST_F(PreviewTool, PositionsPastAnyPixelCountAreInWords) {
    struct Case {
        const char* ini;
        const char* first;  // the first text's line of --positions
    };
    const Case cases[] = {
        {"[GENERAL]\nLocTextPosX=1e39\n", "off the screen (infinitely far right) |"},
        {"[GENERAL]\nLocTextPosY=1e39\n", "off the screen (infinitely far down) |"},
        {"[GENERAL]\nLocTextPosX=1e39\nLocTextPosY=1e39\n",
         "off the screen (infinitely far right and infinitely far down) |"},
        {"[GENERAL]\nLocTextPosX=1e30\n", "off the screen (over 2 billion pixels right) |"},
        {"[GENERAL]\nLocTextPosX=1e6\n", "1000000,1022 |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        ASSERT_TRUE(sim::WriteFileBytes(dir_ / "KOV.ini", c.ini));
        const ToolRun run =
            RunTool(KOV_PREVIEW_PATH, "--ini '" + Path("KOV.ini") + "' --positions -o '" + Path("p.png") + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::vector<std::string> lines = ToolLines(run.output);
        const auto heading = std::find(lines.begin(), lines.end(), "text positions at 1920x1080:");
        ASSERT_LT(heading + 1, lines.end()) << run.output;
        EXPECT_EQ(heading[1], c.first);
    }
}

// Notepad's "Unicode" (UTF-16 with a mark), UTF-8 with a mark, and an 8-bit file with an accented
// comment all give what the plain file gives.
TEST_F(PreviewTool, ReadsSettingsFilesInEveryWindowsEncoding) {
    const std::string text = "; R\u00E9glages\r\n[GENERAL]\r\nLocTextPosX=900\r\n";
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "plain.ini", text));
    const ToolRun plain = RunTool(KOV_PREVIEW_PATH, "--ini '" + Path("plain.ini") + "' -o '" + Path("p.png") + "'");
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    for (sim::IniEncoding encoding :
         {sim::IniEncoding::Utf16Le, sim::IniEncoding::Utf8Mark, sim::IniEncoding::CodePage1252}) {
        SCOPED_TRACE(sim::IniEncodingName(encoding));
        ASSERT_TRUE(sim::WriteFileBytes(dir_ / "KOV.ini", sim::EncodeIniText(text, encoding)));
        const ToolRun run = RunTool(KOV_PREVIEW_PATH, "--ini '" + Path("KOV.ini") + "' -o '" + Path("p.png") + "'");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(ToolLines(run.output), ToolLines(plain.output));
    }
}

// Each world option puts the plug-in where it says; what it then draws is the proof.
TEST(PreviewWorld, OptionsBringThePluginIntoTheDescribedState) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> shown;  // parts of the readable frame summary
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        // clang-format off
        {{}, {"<yellow>Vinewood Blvd  [SR-18]</yellow>", "Downtown Vinewood,  Metro Los Santos", "| N |"}, {}},
        {{"--street", "Los Santos Freeway", "--crossing", "Olympic Fwy", "--zone", "LMesa", "--heading", "100"},
         {"| W | Interstate 1   /   <yellow>Interstate 4</yellow>", "La Mesa,  Metro Los Santos"}, {}},
        {{"--street", "Davis Ave", "--pos", "-450,-1600,30"}, {"<yellow>Davis Ave  [SR-19]</yellow>"}, {}},
        {{"--street", "Davis Ave", "--pos", "-300,-1600,30"}, {"<yellow>Davis Ave</yellow>"}, {"SR-19"}},
        {{"--offroad", "near"}, {"<yellow>Vinewood Blvd  [SR-18]</yellow>"}, {"Near"}},
        {{"--offroad", "far"}, {"Near  <yellow>Vinewood Blvd  [SR-18]</yellow>"}, {}},
        {{"--offroad", "none"}, {"Road name unavailable"}, {"Vinewood Blvd"}},
        {{"--bigmap"}, {"(0.244792, "}, {"(0.166667, "}},  // the big-map anchor 470
        {{"--notice", "disabled"}, {"<yellow>KOV | </yellow>Location display disabled."}, {"Vinewood"}},
        {{"--notice", "enabled"}, {"<yellow>KOV | </yellow>Location display enabled.", "Vinewood"}, {}},
        {{"--session-players", "4", "--player-list"}, {"MP PLAYER LIST        4 / 32", "03 mossy_gravel"}, {}},
        {{"--session-players", "4"}, {"Vinewood"}, {"MP PLAYER LIST"}},
        // At a point of the game's San Andreas, the map answers what no option names; without a
        // height the player stands at the road's.
        {{"--at", "229.5,-994.5"}, {"| N | <yellow>Strawberry Ave</yellow>", "Legion Square,  Metro Los Santos"}, {}},
        {{"--at", "229.5,-994.5", "--zone", "Desrt", "--offroad", "far"},
         {"Near  <yellow>Strawberry Ave</yellow>", "Gr Senora Desert,  Blaine County"}, {}},
        {{"--at", "1850,3700,34", "--street", "Alta St"}, {"Near  <yellow>Alta St  [SR-19]</yellow>", "Sandy Shores"},
         {"Armadillo"}},
        // clang-format on
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& arg : c.args) label += arg + " ";
        SCOPED_TRACE(label);
        const std::string summary = sim::SummariseFrame(PreviewScene(c.args).frame);
        for (const std::string& part : c.shown)
            EXPECT_NE(summary.find(part), std::string::npos) << part << "\n" << summary;
        for (const std::string& part : c.absent)
            EXPECT_EQ(summary.find(part), std::string::npos) << part << "\n" << summary;
    }
}

TEST(DemoTour, ArgumentsAndUnreadableToursGiveAClearMessage) {
    struct Case {
        std::string args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        // clang-format off
        {"--help",                                       0, "--out DIR"},
        {"",                                             2, "kov-demo: no tour given"},
        {"tour.json --size 12",                          2, "kov-demo: --size wants WIDTHxHEIGHT"},
        {"tour.json --out",                              2, "kov-demo: --out needs a value"},
        {"a.json b.json",                                2, "kov-demo: more than one tour given: \"b.json\""},
        {"/no/such/tour.json",                           1, "/no/such/tour.json: no such file"},
        {"tour.json --out ''",                           2, "kov-demo: --out wants a path, got an empty one"},
        {"tour.json --out a --out b",                    2, "kov-demo: --out is given twice"},
        // It once suggested --zoom and --crop, which it does not have, and exited 1.
        {"'" KOV_SOURCE_DIR "/scenarios/tour.json' --size 16384x16384 --out /nonexistent/x", 2,
         "more than 100000000 pixels in all: give a smaller --size"},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(KOV_DEMO_PATH, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

TEST(DemoTour, PrintsEveryStopAndWritesItsPictures) {
    const fs::path dir = sim::MakeTempDirectory("kov-demo-test-");
    const ToolRun run =
        RunTool(KOV_DEMO_PATH, "'" KOV_SOURCE_DIR "/scenarios/tour.json' --size 640x360 --out '" + dir.string() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* shown : {"Interstate 1   /   <yellow>Interstate 4</yellow>", "<yellow>Davis Ave</yellow>\n",
                              "<yellow>Davis Ave  [SR-19]</yellow>", "Near  <yellow>US Route 13</yellow>",
                              "Road name unavailable", "Location display disabled.", "Location display enabled.",
                              "Шоссе Великого о   /   <yellow>Дорога 68</yellow>", "MP PLAYER LIST",
                              "feed: Мшистый_гравий <grey>killed by </grey>Kestrel-Nine."}) {
        EXPECT_NE(run.output.find(shown), std::string::npos) << shown;
    }
    EXPECT_EQ(run.output.find("(radar control idle)"), std::string::npos) << "a step that only leads on is no stop";
    size_t pictures = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name == "contact-sheet.png" || name == ".kov-demo-pictures.json") continue;
        cairo_surface_t* png = cairo_image_surface_create_from_png(entry.path().c_str());
        EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS) << name;
        EXPECT_EQ(cairo_image_surface_get_width(png), 640) << name;
        cairo_surface_destroy(png);
        ++pictures;
    }
    EXPECT_EQ(pictures, 16u) << "one picture per stop";
    EXPECT_TRUE(fs::exists(dir / "contact-sheet.png"));
    fs::remove_all(dir);
}

// The folder's files by name and bytes, but the demo's record of its pictures.
std::map<std::string, std::string> FilesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() == ".kov-demo-pictures.json") continue;
        files[entry.path().filename().string()] = sim::ReadFileBytes(entry.path()).value_or("?");
    }
    return files;
}

bool IsPng(const std::string& bytes) { return bytes.compare(0, 4, "\x89PNG") == 0; }

// The demo once cleared every file whose name looked like one of its pictures before it ran, even
// when the run then failed; now it touches only what it wrote, and what it is told to replace.
TEST_F(PreviewTool, DemoKeepsToItsOwnFilesInItsFolder) {
    const std::string stops =
        R"j({"steps": [{"label": "a", "frames": 2}, {"label": "(on)", "frames": 1}, {"label": "b", "frames": 2}]})j";
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "tour.json", stops));
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "leads.json", R"j({"steps": [{"label": "(on)", "frames": 2}]})j"));
    const std::map<std::string, std::string> mine = {{"01-holiday.png", "mine"}, {"notes.txt", "mine"}};
    const struct {
        const char* name;
        const char* tour;
        std::map<std::string, std::string> files;  // the user's, before the run
        const char* options;
        int exitCode;
        const char* message;
        std::vector<const char*> pictures;  // written; empty: the folder is as it was
    } cases[] = {
        {"files of the user's beside",
         "tour.json",
         mine,
         "",
         0,
         "contact sheet of 2 stops",
         {"01-a.png", "02-b.png", "contact-sheet.png"}},
        {"a file in a picture's way", "tour.json", {{"02-b.png", "mine"}}, "", 1, "/out/02-b.png is in the way", {}},
        {"a file in the sheet's way",
         "tour.json",
         {{"contact-sheet.png", "mine"}},
         "",
         1,
         "/out/contact-sheet.png is in the way",
         {}},
        {"a file in the way, replaced",
         "tour.json",
         {{"02-b.png", "mine"}},
         "--force",
         0,
         "contact sheet",
         {"01-a.png", "02-b.png", "contact-sheet.png"}},
        {"a tour without stops", "leads.json", mine, "", 1, "the tour has no stops", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = dir_ / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        for (const auto& [name, bytes] : c.files) ASSERT_TRUE(sim::WriteFileBytes(out / name, bytes));
        const ToolRun run =
            RunTool(KOV_DEMO_PATH, "'" + Path(c.tour) + "' --size 320x240 --out '" + out.string() + "' " + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        std::map<std::string, std::string> expected = c.files;
        for (const char* picture : c.pictures) expected[picture] = "";
        std::map<std::string, std::string> seen = FilesIn(out);
        for (const char* picture : c.pictures) {
            EXPECT_TRUE(IsPng(seen[picture])) << picture;
            seen[picture] = "";
        }
        EXPECT_EQ(seen, expected);
    }
}

// A second run of the tour replaces the pictures of the first and removes those it does not write
// again (a stop renamed), and nothing else: once any picture with the demo's tag counted as its
// own, so a copy of one the user put in the folder was removed as stale, and so were the pictures
// of another tour run into the same folder.
TEST_F(PreviewTool, DemoReplacesAndClearsOnlyItsOwnEarlierPictures) {
    const fs::path out = dir_ / "out";
    const auto demo = [&](const char* tour, const char* options = "") {
        return RunTool(KOV_DEMO_PATH, "'" + Path(tour) + "' --size 320x240 --out '" + out.string() + "' " + options);
    };
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "tour.json",
                                    R"({"steps": [{"label": "a", "frames": 2}, {"label": "b", "frames": 2}]})"));
    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "other.json", R"({"steps": [{"label": "x", "frames": 2}]})"));
    ASSERT_EQ(demo("tour.json").exitCode, 0);
    const std::map<std::string, std::string> before = FilesIn(out);
    fs::copy_file(out / "02-b.png", out / "05-copy.png");
    ASSERT_TRUE(sim::WriteFileBytes(out / "03-mine.png", "mine"));

    ASSERT_TRUE(sim::WriteFileBytes(dir_ / "tour.json",
                                    R"({"steps": [{"label": "a", "frames": 2}, {"label": "c", "frames": 2}]})"));
    const ToolRun second = demo("tour.json");
    ASSERT_EQ(second.exitCode, 0) << second.output;
    std::map<std::string, std::string> after = FilesIn(out);
    EXPECT_EQ(after.count("02-b.png"), 0u) << "the first run's picture of a stop renamed since";
    EXPECT_TRUE(IsPng(after.at("02-c.png")));
    EXPECT_TRUE(IsPng(after.at("01-a.png")));
    EXPECT_EQ(after.at("05-copy.png"), before.at("02-b.png")) << "the user's copy stays";
    EXPECT_EQ(after.at("03-mine.png"), "mine");
    EXPECT_EQ(after.size(), 5u);

    // Another tour into the same folder: the sheet is in its way, and once told to replace it, it
    // leaves the first tour's pictures be; then the first tour's sheet is the other's.
    const ToolRun other = demo("other.json");
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_NE(other.output.find("contact-sheet.png is in the way"), std::string::npos) << other.output;
    ASSERT_EQ(demo("other.json", "--force").exitCode, 0);
    after = FilesIn(out);
    for (const char* kept : {"01-a.png", "02-c.png", "05-copy.png", "03-mine.png"})
        EXPECT_EQ(after.count(kept), 1u) << kept;
    EXPECT_TRUE(IsPng(after.at("01-x.png")));
    const ToolRun first = demo("tour.json");
    EXPECT_EQ(first.exitCode, 1);
    EXPECT_NE(first.output.find("contact-sheet.png is in the way"), std::string::npos) << first.output;
}

}  // namespace
