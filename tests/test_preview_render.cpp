// The picture renderer: frames the real plug-in drew, rendered and checked pixel by pixel where
// the draw list puts things; and the text styling (colour codes, alpha, centring, outline, shadow).
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "preview_support.h"
#include "sim/game/inline_codes.h"
#include "tools/preview/host_look.h"
#include "tools/preview/painter.h"
#include "tools/preview/render.h"
#include "tools/preview/text_runs.h"

namespace {

using previewtest::ChangedPixels;
using previewtest::Distance;
using previewtest::HostOnly;
using previewtest::Pixel;
using previewtest::PixelsOfColour;
using previewtest::PreviewScene;
using previewtest::Unpack;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct PixelBox {
    int x0, y0, x1, y1;
};

PixelBox RectBox(const sim::DrawnRect& rect, int width, int height) {
    return {static_cast<int>((rect.x - rect.w / 2) * width), static_cast<int>((rect.y - rect.h / 2) * height),
            static_cast<int>((rect.x + rect.w / 2) * width), static_cast<int>((rect.y + rect.h / 2) * height)};
}

const sim::DrawnText* FindText(const sim::Frame& frame, const std::string& part) {
    for (const sim::DrawnText& text : frame.texts) {
        if (text.text.find(part) != std::string::npos) return &text;
    }
    return nullptr;
}

// ---- frames drawn by the plug-in ----

TEST(PreviewRender, PlayerListHeaderBoxHasItsColourWhereTheDrawListPutsIt) {
    const preview::ScreenView scene = PreviewScene({"--session-players", "5", "--player-list"});
    ASSERT_FALSE(scene.frame.rects.empty());
    const preview::Image image = preview::RenderImage(scene, kWidth, kHeight);
    const preview::Image bare = preview::RenderImage(HostOnly(scene), kWidth, kHeight);

    // Every rectangle of the list, at a point inside its lower left corner where no text reaches:
    // the host blends the rectangle's colour over the screen with the rectangle's alpha.
    for (const sim::DrawnRect& rect : scene.frame.rects) {
        const PixelBox box = RectBox(rect, kWidth, kHeight);
        const int x = box.x0 + 3, y = box.y1 - 2;
        const Pixel under = Unpack(bare.At(x, y));
        const double a = rect.a / 255.0;
        const Pixel expected{static_cast<int>(under.r * (1 - a) + rect.r * a + 0.5),
                             static_cast<int>(under.g * (1 - a) + rect.g * a + 0.5),
                             static_cast<int>(under.b * (1 - a) + rect.b * a + 0.5)};
        EXPECT_LE(Distance(Unpack(image.At(x, y)), expected), 6) << "rectangle rgba " << rect.r << "," << rect.g << ","
                                                                 << rect.b << "," << rect.a << " at " << x << "," << y;
        // Just outside the box the screen is untouched.
        EXPECT_EQ(image.At(box.x0 - 3, y), bare.At(box.x0 - 3, y));
    }
}

TEST(PreviewRender, PanelTextIsDrawnAtTheAnchorAndBeside) {
    const preview::ScreenView scene = PreviewScene({});
    const preview::Image image = preview::RenderImage(scene, kWidth, kHeight);
    const preview::Image bare = preview::RenderImage(HostOnly(scene), kWidth, kHeight);

    // The anchor (320, 1035) is where the first separator stands; the street line to its right
    // carries its colour code.
    const sim::DrawnText* separator = FindText(scene.frame, "|");
    const sim::DrawnText* street = FindText(scene.frame, "Vinewood Blvd");
    ASSERT_NE(separator, nullptr);
    ASSERT_NE(street, nullptr);
    const int sx = static_cast<int>(separator->x * kWidth), sy = static_cast<int>(separator->y * kHeight);
    EXPECT_GT(ChangedPixels(image, bare, sx - 2, sy, sx + 20, sy + 60), 50);
    const int tx = static_cast<int>(street->x * kWidth), ty = static_cast<int>(street->y * kHeight);
    EXPECT_GT(ChangedPixels(image, bare, tx, ty, tx + 150, ty + 25), 300);
    // Nothing of the plug-in's far above the panel.
    EXPECT_EQ(ChangedPixels(image, bare, 0, 0, kWidth, sy - 60), 0);
}

TEST(PreviewRender, NothingIsDrawnWhereTheListWouldBeWhenItIsOff) {
    const preview::ScreenView on = PreviewScene({"--session-players", "5", "--player-list"});
    const preview::ScreenView off = PreviewScene({"--session-players", "5"});
    ASSERT_FALSE(on.frame.rects.empty());
    EXPECT_TRUE(off.frame.rects.empty());
    const PixelBox header = RectBox(on.frame.rects.front(), kWidth, kHeight);
    const PixelBox list{header.x0, header.y0, header.x1, RectBox(on.frame.rects.back(), kWidth, kHeight).y1};

    const preview::Image withList = preview::RenderImage(on, kWidth, kHeight);
    const preview::Image withoutList = preview::RenderImage(off, kWidth, kHeight);
    const preview::Image bare = preview::RenderImage(HostOnly(off), kWidth, kHeight);
    EXPECT_GT(ChangedPixels(withList, bare, list.x0, list.y0, list.x1, list.y1),
              (list.x1 - list.x0) * (list.y1 - list.y0) / 2);
    EXPECT_EQ(ChangedPixels(withoutList, bare, list.x0, list.y0, list.x1, list.y1), 0);
}

// The painter draws the radar and the big map where the screen model puts them, on every aspect
// ratio and safe zone: map inside the box's right edge, screen just outside it.
TEST(PreviewRender, MapsArePaintedWhereTheScreenModelPutsThem) {
    struct Case {
        int width, height;
        float safeZone;
    };
    for (const Case& c : {Case{1920, 1080, 1.0f}, Case{3440, 1440, 1.0f}, Case{1024, 768, 0.9f}}) {
        for (const bool bigMap : {false, true}) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (bigMap ? " big map" : " radar"));
            preview::ScreenView scene;
            scene.screen = sim::RealScreen{c.width, c.height, c.safeZone};
            scene.bigMap = bigMap;
            preview::ScreenView hidden = scene;
            hidden.radarShown = false;
            const preview::Image withMap = preview::RenderImage(scene, c.width, c.height);
            const preview::Image noMap = preview::RenderImage(hidden, c.width, c.height);
            const sim::PixelBox box =
                sim::VisibleMapBox(scene.screen, bigMap ? sim::HudMap::BigMap : sim::HudMap::Radar);
            const int right = static_cast<int>(box.right()), top = static_cast<int>(box.top);
            const int middle = static_cast<int>(box.top + box.height / 3);
            EXPECT_GT(ChangedPixels(withMap, noMap, right - 6, middle, right - 2, middle + 20), 60);
            EXPECT_EQ(ChangedPixels(withMap, noMap, right + 3, middle, right + 40, middle + 20), 0);
            EXPECT_GT(ChangedPixels(withMap, noMap, right - 40, top + 3, right - 10, top + 6), 60);
            EXPECT_EQ(ChangedPixels(withMap, noMap, right - 40, top - 40, right - 10, top - 3), 0);
        }
    }
}

// What a scene draws as straight strokes alone (the map's roads, when no blip is on it), and where
// and how far the player's arrow is turned.
class MapRecorder final : public preview::Painter {
public:
    struct Segment {
        double x0, y0, x1, y1;
    };
    std::vector<Segment> roads;
    double arrowX = 0, arrowY = 0, arrowTurn = 0;

    void Save() override {}
    void Restore() override {}
    void Translate(double x, double y) override { arrowX = x, arrowY = y; }
    void Rotate(double radians) override { arrowTurn = radians; }
    void ClipRect(double, double, double, double) override {}
    void MoveTo(double x, double y) override { x_ = x, y_ = y; }
    void LineTo(double x, double y) override {
        path_.push_back({x_, y_, x, y});
        x_ = x, y_ = y;
    }
    void CurveTo(double, double, double, double, double, double) override { curved_ = true; }
    void Circle(double, double, double) override { curved_ = true; }
    void Rectangle(double, double, double, double) override { curved_ = true; }
    void ClosePath() override { curved_ = true; }
    void Fill(const preview::Rgba&) override { EndPath(); }
    void Stroke(const preview::Rgba&, double) override {
        if (!curved_) roads.insert(roads.end(), path_.begin(), path_.end());
        EndPath();
    }
    void FillAndStroke(const preview::Rgba&, const preview::Rgba&, double) override { EndPath(); }
    void FillGradient(double, double, double, double, const preview::GradientStop*, size_t) override {}
    preview::FontMetrics Metrics(const preview::FontFace& font) override { return {font.size, font.size * 1.2}; }
    double TextWidth(const preview::FontFace& font, const std::string& text) override {
        return font.size * static_cast<double>(text.size());
    }
    void FillText(const preview::FontFace&, double, double, const std::string&, const preview::Rgba&) override {}
    void StrokeText(const preview::FontFace&, double, double, const std::string&, const preview::Rgba&,
                    double) override {}

private:
    void EndPath() { path_.clear(), curved_ = false; }
    std::vector<Segment> path_;
    double x_ = 0, y_ = 0;
    bool curved_ = false;
};

MapRecorder MapAt(float headingDeg, bool bigMap) {
    preview::ScreenView scene;
    scene.screen = sim::RealScreen{kWidth, kHeight, 1.0f};
    scene.bigMap = bigMap;
    scene.headingDeg = headingDeg;
    scene.playerX = 229.5f, scene.playerY = -994.5f;  // Legion Square
    MapRecorder recorder;
    preview::DrawScene(recorder, scene, kWidth, kHeight);
    return recorder;
}

// The radar turns with the player: the way the player faces is up, so at a heading of 90 degrees
// (facing west) what lay west, on the left, lies above. The big map stays north up, whatever the
// heading, its arrow turned instead (west: to the left), and shows 4 m a pixel where the radar
// shows 1 m: every road of the radar is on it, four times nearer the centre.
TEST(PreviewRender, TheRadarTurnsWithTheHeadingAndTheBigMapShowsMoreNorthUp) {
    const MapRecorder north = MapAt(0, false), west = MapAt(90, false);
    ASSERT_GT(north.roads.size(), 20u) << "Legion Square has roads around it";
    ASSERT_EQ(north.roads.size(), west.roads.size());
    EXPECT_NEAR(north.arrowTurn, 0, 1e-9);
    EXPECT_NEAR(west.arrowTurn, 0, 1e-9) << "the arrow points up on the radar";
    const double cx = north.arrowX, cy = north.arrowY;
    for (size_t i = 0; i < north.roads.size(); ++i) {
        const MapRecorder::Segment &a = north.roads[i], &b = west.roads[i];
        // (u, v) from the centre on the screen, y down, lands at (-v, u): a quarter turn clockwise.
        EXPECT_NEAR(b.x0 - cx, -(a.y0 - cy), 1e-6);
        EXPECT_NEAR(b.y0 - cy, a.x0 - cx, 1e-6);
        EXPECT_NEAR(b.x1 - cx, -(a.y1 - cy), 1e-6);
        EXPECT_NEAR(b.y1 - cy, a.x1 - cx, 1e-6);
    }

    const MapRecorder big = MapAt(0, true), bigWest = MapAt(90, true);
    ASSERT_EQ(big.roads.size(), bigWest.roads.size());
    for (size_t i = 0; i < big.roads.size(); ++i) {
        EXPECT_EQ(big.roads[i].x0, bigWest.roads[i].x0);
        EXPECT_EQ(big.roads[i].y1, bigWest.roads[i].y1);
    }
    EXPECT_NEAR(bigWest.arrowTurn, -M_PI / 2, 1e-9) << "facing west on a north-up map: the arrow points left";
    const double bx = big.arrowX, by = big.arrowY;
    for (const MapRecorder::Segment& r : north.roads) {
        const bool onBigMap = std::any_of(big.roads.begin(), big.roads.end(), [&](const MapRecorder::Segment& s) {
            return std::abs((s.x0 - bx) * 4 - (r.x0 - cx)) < 1e-6 && std::abs((s.y0 - by) * 4 - (r.y0 - cy)) < 1e-6 &&
                   std::abs((s.x1 - bx) * 4 - (r.x1 - cx)) < 1e-6 && std::abs((s.y1 - by) * 4 - (r.y1 - cy)) < 1e-6;
        });
        EXPECT_TRUE(onBigMap) << "a radar road at " << r.x0 << "," << r.y0 << " is not on the big map";
    }
    EXPECT_GT(big.roads.size(), north.roads.size()) << "the big map shows more";
}

TEST(PreviewRender, FeedPostsStandAboveTheMap) {
    const preview::ScreenView scene = PreviewScene({"--session-players", "3", "--death", "1:2"});
    ASSERT_EQ(scene.feed.size(), 1u);
    EXPECT_EQ(scene.feed[0].text, "~w~NightOwl_88 ~c~killed by ~w~Kestrel-Nine.");
    const preview::Image image = preview::RenderImage(scene, kWidth, kHeight);
    preview::ScreenView noFeed = scene;
    noFeed.feed.clear();
    const preview::Image without = preview::RenderImage(noFeed, kWidth, kHeight);
    // Left third of the screen, between the middle and the radar's top: only the feed box.
    const int radarTop = static_cast<int>(sim::VisibleMapBox(scene.screen, sim::HudMap::Radar).top);
    EXPECT_GT(ChangedPixels(image, without, 0, kHeight / 2, kWidth / 3, radarTop), 5000);
    EXPECT_EQ(ChangedPixels(image, without, kWidth / 3, 0, kWidth, kHeight), 0);
}

// ---- text styling, on frames made up for the purpose ----

sim::DrawnText BigText(const std::string& text) {
    sim::DrawnText drawn;
    drawn.text = text;
    drawn.state.scale = 3.0f;
    drawn.x = 0.3f;
    drawn.y = 0.2f;
    return drawn;
}

preview::ScreenView SceneWith(const sim::DrawnText& text) {
    preview::ScreenView scene;
    scene.frame.texts.push_back(text);
    return scene;
}

TEST(PreviewRender, ColourCodesSwitchTheColourMidText) {
    struct Case {
        const char* text;
        Pixel left, right;  // the colour of the first and of the second "MM"
    };
    const Case cases[] = {
        // clang-format off
        {"~y~MM~w~MM", {240, 200, 80},  {240, 240, 240}},
        {"~c~MM~r~MM", {155, 155, 155}, {224, 50, 50}},
        {"~g~MM~b~MM", {114, 204, 114}, {93, 182, 229}},
        {"~o~MM~p~MM", {234, 142, 80},  {132, 102, 226}},
        {"~y~MM~s~MM", {240, 200, 80},  {255, 255, 255}},  // back to the text's own colour
        {"MM~c~MM",    {255, 255, 255}, {155, 155, 155}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const sim::DrawnText text = BigText(c.text);
        const preview::Image image = preview::RenderImage(SceneWith(text), kWidth, kHeight);
        const int x = static_cast<int>(text.x * kWidth), y = static_cast<int>(text.y * kHeight);
        // "MM" at this size is about 300 pixels wide: the halves do not mix.
        EXPECT_GT(PixelsOfColour(image, c.left, x, y, x + 250, y + 200), 500);
        EXPECT_GT(PixelsOfColour(image, c.right, x + 350, y, x + 700, y + 200), 500);
        EXPECT_EQ(PixelsOfColour(image, c.right, x, y, x + 250, y + 200), 0);
    }
}

TEST(PreviewRender, TextStyleFollowsTheTextState) {
    const sim::DrawnText plain = BigText("MM");
    const preview::Image plainImage = preview::RenderImage(SceneWith(plain), kWidth, kHeight);
    const preview::Image bare = preview::RenderImage(preview::ScreenView{}, kWidth, kHeight);
    const int x = static_cast<int>(plain.x * kWidth), y = static_cast<int>(plain.y * kHeight);
    auto black = [&](const preview::Image& image) {
        return PixelsOfColour(image, Pixel{0, 0, 0}, x - 20, y, x + 700, y + 200);
    };
    auto inkSpan = [&](const preview::Image& image) {
        int first = kWidth, last = -1;
        for (int px = 0; px < kWidth; ++px) {
            if (ChangedPixels(image, bare, px, y, px + 1, y + 200) == 0) continue;
            first = std::min(first, px);
            last = std::max(last, px);
        }
        return std::make_pair(first, last);
    };

    // Half alpha blends the white text half way over the screen.
    sim::DrawnText faint = plain;
    faint.state.a = 128;
    const preview::Image faintImage = preview::RenderImage(SceneWith(faint), kWidth, kHeight);
    const auto [fx0, fx1] = inkSpan(plainImage);
    int blended = 0;
    for (int px = fx0; px <= fx1; ++px) {
        for (int py = y; py < y + 200; ++py) {
            if (plainImage.At(px, py) != 0xFFFFFFFFu) continue;  // fully covered by the opaque text
            const Pixel under = Unpack(bare.At(px, py));
            const Pixel expected{under.r + (255 - under.r) * 128 / 255, under.g + (255 - under.g) * 128 / 255,
                                 under.b + (255 - under.b) * 128 / 255};
            EXPECT_LE(Distance(Unpack(faintImage.At(px, py)), expected), 6);
            ++blended;
        }
    }
    EXPECT_GT(blended, 500);

    // Centred text is centred on its x; otherwise x is its left edge.
    EXPECT_GE(fx0, x - 2);
    EXPECT_LE(fx0, x + 30);
    sim::DrawnText centred = plain;
    centred.state.centred = true;
    const auto [cx0, cx1] = inkSpan(preview::RenderImage(SceneWith(centred), kWidth, kHeight));
    EXPECT_NEAR((cx0 + cx1) / 2.0, x, 12);

    // The outline adds black around the glyphs; the plain text has none.
    sim::DrawnText outlined = plain;
    outlined.state.outline = true;
    EXPECT_EQ(black(plainImage), 0);
    EXPECT_GT(black(preview::RenderImage(SceneWith(outlined), kWidth, kHeight)), 100);

    // A drop shadow shows in its colour, offset down and right.
    sim::DrawnText shadowed = plain;
    shadowed.state.dropShadow = {6, 255, 0, 0, 255};
    const preview::Image shadowImage = preview::RenderImage(SceneWith(shadowed), kWidth, kHeight);
    EXPECT_GT(PixelsOfColour(shadowImage, Pixel{255, 0, 0}, x, y, x + 720, y + 220), 100);
    EXPECT_EQ(PixelsOfColour(plainImage, Pixel{255, 0, 0}, x, y, x + 720, y + 220), 0);
}

TEST(PreviewRender, TextRunsFollowTheInlineCodes) {
    using Runs = std::vector<std::vector<std::pair<std::string, char>>>;  // lines of (text, colour code)
    struct Case {
        const char* text;
        Runs expected;
    };
    const Case cases[] = {
        // clang-format off
        {"~y~Alta St~w~",               {{{"Alta St", 'y'}}}},
        {"Hawick Ave   /   ~y~Alta St~w~", {{{"Hawick Ave   /   ", 's'}, {"Alta St", 'y'}}}},
        {"~w~Ann ~c~died.",             {{{"Ann ", 'w'}, {"died.", 'c'}}}},
        {"~y~a~s~b",                    {{{"a", 'y'}, {"b", 's'}}}},
        {"one~n~two",                   {{{"one", 's'}}, {{"two", 's'}}}},
        {"~z~ and ~y",                  {{{"~z~ and ~y", 's'}}}},  // not codes: drawn as written
        {"",                            {{}}},
        {"Jos\xE9 \xC3\xA9~y~\xFF",       {{{"Jos? \xC3\xA9", 's'}, {"?", 'y'}}}},  // Latin-1 and a stray byte
        // clang-format on
    };
    const preview::Rgb base{1, 2, 3};
    auto colourOf = [&](char code) {
        const sim::InlineColour* colour = sim::FindInlineColour(code);
        return colour != nullptr ? preview::Rgb{colour->r, colour->g, colour->b} : base;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<preview::TextLine> lines = preview::SplitInlineCodes(c.text, base);
        ASSERT_EQ(lines.size(), c.expected.size());
        for (size_t l = 0; l < lines.size(); ++l) {
            ASSERT_EQ(lines[l].size(), c.expected[l].size());
            for (size_t r = 0; r < lines[l].size(); ++r) {
                const preview::Rgb want = colourOf(c.expected[l][r].second);
                EXPECT_EQ(lines[l][r].text, c.expected[l][r].first);
                EXPECT_EQ(lines[l][r].colour.r, want.r);
                EXPECT_EQ(lines[l][r].colour.g, want.g);
                EXPECT_EQ(lines[l][r].colour.b, want.b);
            }
        }
    }
    EXPECT_TRUE(preview::SplitInlineCodes("~h~bold", base)[0][0].bold);
}

// ---- letters of every script ----

// The character no installed font has: the stand-in face's missing-glyph box.
const char* const kNoFontHasIt = "\u0378";  // unassigned

// The characters of a UTF-8 text, each on its own.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (size_t at = 0; at < text.size();) {
        size_t length = 1;
        while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) ++length;
        characters.push_back(text.substr(at, length));
        at += length;
    }
    return characters;
}

// Pixels where a big text of the character differs from the missing-glyph box.
int PixelsApartFromTheBox(const std::string& character) {
    const preview::Image box = preview::RenderImage(SceneWith(BigText(kNoFontHasIt)), 640, 360);
    return ChangedPixels(preview::RenderImage(SceneWith(BigText(character)), 640, 360), box, 0, 0, 640, 360);
}

// A Russian game's street name, cut by the plug-in to its buffer, is drawn in letters: each of them
// and the line as a whole look unlike the missing-glyph box. The name is ours, written for the
// test, not the game's translation.
TEST(PreviewRender, ACyrillicStreetNameIsDrawnInLetters) {
    const preview::ScreenView scene = PreviewScene({"--street", "Северошелдонская"});
    const sim::DrawnText* street = FindText(scene.frame, "Северошелдонск");
    ASSERT_NE(street, nullptr);
    const std::vector<std::string> letters = Characters(street->text);
    ASSERT_EQ(letters.size(), 15u + 6u);  // the letters the name buffer holds, and the colour codes
    for (const std::string& letter : letters) {
        if (static_cast<unsigned char>(letter[0]) < 0x80) continue;
        EXPECT_GT(PixelsApartFromTheBox(letter), 200) << letter;
    }

    preview::ScreenView boxes = scene;
    std::string asBoxes = "~y~";
    for (int i = 0; i < 15; ++i) asBoxes += kNoFontHasIt;
    boxes.frame.texts[static_cast<size_t>(street - scene.frame.texts.data())].text = asBoxes + "~w~";
    const int tx = static_cast<int>(street->x * kWidth), ty = static_cast<int>(street->y * kHeight);
    EXPECT_GT(ChangedPixels(preview::RenderImage(scene, kWidth, kHeight), preview::RenderImage(boxes, kWidth, kHeight),
                            tx, ty, tx + 250, ty + 25),
              500);
}

// Names in other scripts take their letters from an installed font that has them (scripts/deps.sh
// installs one for CJK and one for emoji); the names are ours.
TEST(PreviewRender, EveryScriptGetsItsGlyphs) {
    const char* characters[] = {"Ж", "Ω", "中", "あ", "한", "🏁"};
    for (const char* character : characters) {
        SCOPED_TRACE(character);
        EXPECT_GT(PixelsApartFromTheBox(character), 200);
    }
}

// ---- picture files ----

TEST(PreviewPicture, WritesPngAndSvgLaidOutSideBySide) {
    const std::filesystem::path dir = sim::MakeTempDirectory("kov-picture-");
    const preview::ScreenView scene;
    std::vector<preview::Tile> tiles(2);
    tiles[0] = preview::Tile{&scene, 640, 360, "640x360", 1, {}};
    tiles[1] = preview::Tile{&scene, 320, 180, "320x180", 1, {}};
    const sim::Status png1 = preview::WritePicture((dir / "side.png").string(), tiles, 2);
    ASSERT_TRUE(png1.ok()) << png1.error();
    cairo_surface_t* png = cairo_image_surface_create_from_png((dir / "side.png").string().c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 16 + 640 + 16 + 320 + 16);  // margins around and between
    EXPECT_EQ(cairo_image_surface_get_height(png), 16 + 30 + 360 + 16);       // with a caption strip
    cairo_surface_destroy(png);

    // One uncaptioned tile is the bare screen, cropped and zoomed as asked.
    const preview::Tile cropped{&scene, 1000, 500, "", 0.5, preview::Crop{0, 0.5, 0.4, 0.5}};
    const sim::Status png2 = preview::WritePicture((dir / "crop.png").string(), {cropped}, 1);
    ASSERT_TRUE(png2.ok()) << png2.error();
    png = cairo_image_surface_create_from_png((dir / "crop.png").string().c_str());
    EXPECT_EQ(cairo_image_surface_get_width(png), 200);
    EXPECT_EQ(cairo_image_surface_get_height(png), 125);
    cairo_surface_destroy(png);

    const sim::Status svgWritten = preview::WritePicture((dir / "side.svg").string(), tiles, 2);
    ASSERT_TRUE(svgWritten.ok()) << svgWritten.error();
    const auto svg = sim::ReadFileBytes(dir / "side.svg");
    ASSERT_TRUE(svg.has_value());
    EXPECT_NE(svg->find("<svg"), std::string::npos);

    const sim::Status jpg = preview::WritePicture((dir / "side.jpg").string(), tiles, 2);
    EXPECT_NE(jpg.error().find(".png or .svg"), std::string::npos) << jpg.error();
    const sim::Status nowhere = preview::WritePicture((dir / "no-such-dir" / "x.png").string(), tiles, 2);
    EXPECT_NE(nowhere.error().find("cannot write"), std::string::npos) << nowhere.error();
    std::filesystem::remove_all(dir);
}

}  // namespace
