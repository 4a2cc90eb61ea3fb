#!/usr/bin/python3
"""The preview page in a real browser: Debian's headless Chromium driven through chromium-driver
(python3-selenium), the page opened from file:// as a player would.

Environment: KOV_PAGE (the built Wayglass-preview.html), KOV_PREVIEW (kov-preview, with KOV.so
beside it), KOV_OUT (where the screenshots go). Run with Debian's /usr/bin/python3.
"""
import base64
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from chromium import WINDOW, start_browser, wait_until_ready

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

PAGE = pathlib.Path(os.environ.get("KOV_PAGE", "build/web/Wayglass-preview.html")).resolve()
PREVIEW = pathlib.Path(os.environ.get("KOV_PREVIEW", "build/linux/kov-preview")).resolve()
OUT = pathlib.Path(os.environ.get("KOV_OUT", "out/page")).resolve()


def kov_preview_run(ini_text, scene, width, height, picture=None, safe_zone=1.0):
    """kov-preview's output for the same KOV.ini, scene and screen (and its picture, when asked)."""
    with tempfile.TemporaryDirectory(prefix="kov-page-test-") as work:
        command = [str(PREVIEW), "--scene", scene, "--size", "%dx%d" % (width, height), "--positions",
                   "--safe-zone", "%.2f" % safe_zone,
                   "-o", str(picture or os.path.join(work, "picture.png"))]
        if ini_text is not None:
            ini = pathlib.Path(work, "KOV.ini")
            ini.write_bytes(ini_text if isinstance(ini_text, bytes) else ini_text.encode("utf-8"))
            command[1:1] = ["--ini", str(ini)]
        return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def kov_preview_positions(ini_text, scene, width, height, safe_zone=1.0):
    """What kov-preview prints as the text positions for the same KOV.ini, scene and screen."""
    output = kov_preview_run(ini_text, scene, width, height, safe_zone=safe_zone)
    marker = "text positions at %dx%d:\n" % (width, height)
    positions = output[output.index(marker) + len(marker):]
    return positions[:positions.index("wrote ")]


# Compares the page's canvas with a PNG (base64): the mean difference per pixel (sum over R, G, B)
# and the share of pixels that differ by more than 90.
COMPARE_WITH_CANVAS = """
const done = arguments[arguments.length - 1];
const image = new Image();
image.onload = () => {
  const scratch = document.createElement("canvas");
  scratch.width = image.width;
  scratch.height = image.height;
  const context = scratch.getContext("2d");
  context.drawImage(image, 0, 0);
  const a = context.getImageData(0, 0, image.width, image.height).data;
  const b = document.getElementById("screen").getContext("2d").getImageData(0, 0, image.width, image.height).data;
  let sum = 0, far = 0;
  for (let i = 0; i < a.length; i += 4) {
    const d = Math.abs(a[i] - b[i]) + Math.abs(a[i + 1] - b[i + 1]) + Math.abs(a[i + 2] - b[i + 2]);
    sum += d;
    if (d > 90) far++;
  }
  done([sum / (a.length / 4), far / (a.length / 4)]);
};
image.src = "data:image/png;base64," + arguments[0];
"""


class PageTest(unittest.TestCase):
    timings = {"load": [], "redraw": [], "parts": []}

    @classmethod
    def setUpClass(cls):
        OUT.mkdir(parents=True, exist_ok=True)
        cls.downloads = pathlib.Path(tempfile.mkdtemp(prefix="kov-downloads-"))
        cls.driver = start_browser(cls.downloads)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.downloads, ignore_errors=True)
        load, redraw = cls.timings["load"], sorted(cls.timings["redraw"])
        if load and redraw:
            print("\npage load (file://, until the first picture): %s ms; redraw: median %.1f ms, slowest %.1f ms "
                  "over %d redraws" % (", ".join("%.0f" % t for t in load), redraw[len(redraw) // 2], redraw[-1],
                                       len(redraw)), file=sys.stderr)
            median = lambda key: sorted(p[key] for p in cls.timings["parts"])[len(cls.timings["parts"]) // 2]
            print("redraw parts (median): fresh module instance %.1f ms, plug-in run %.1f ms, picture and lists %.1f ms"
                  % (median("instance"), median("run"), median("show")), file=sys.stderr)

    # ---- helpers ----

    def open_page(self):
        self.driver.get_log("browser")
        self.driver.get_log("performance")
        self.driver.get(PAGE.as_uri())
        self.assertTrue(wait_until_ready(self.driver), "the page did not start")
        self.timings["load"].append(self.js("return kovPage.loadMs"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, what, seconds=20):
        end = time.time() + seconds
        while time.time() < end:
            if condition():
                return
            time.sleep(0.02)
        self.fail("timed out waiting for " + what)

    def settle(self):
        self.driver.execute_async_script("kovPage.settled().then(arguments[arguments.length - 1])")

    def last(self):
        self.settle()
        return self.js("return kovPage.last")

    def paste(self, text):
        """Puts text into the editor as a paste does: the editor's input event."""
        self.js("const t = document.getElementById('ini-text'); t.value = arguments[0];"
                "t.dispatchEvent(new Event('input', {bubbles: true}));", text)
        self.settle()

    def set_field(self, field_id, value):
        """Types a value into a number field, as a player does."""
        field = self.driver.find_element(By.ID, field_id)
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(value)
        self.settle()

    def findings(self):
        """The check's mistakes (its notes left out)."""
        return self.js("return kovPage.findings.filter(f => !f.note).map(f => 'Line ' + f.line + ': ' + f.message)")

    def reads(self, key):
        return self.driver.find_element(By.ID, "key-%s-reads" % key).text

    def save(self):
        for stale in self.downloads.glob("*"):
            stale.unlink()
        self.driver.find_element(By.ID, "save-file").click()
        saved_path = self.downloads / "KOV.ini"
        self.wait_for(saved_path.exists, "the download")
        self.wait_for(lambda: saved_path.stat().st_size > 0, "the download's bytes")
        return saved_path.read_bytes()

    def choose(self, select_id, value):
        Select(self.driver.find_element(By.ID, select_id)).select_by_value(value)
        self.settle()

    def open_file(self, name, data):
        path = pathlib.Path(tempfile.mkdtemp(prefix="kov-upload-"), name)
        path.write_bytes(data)
        self.driver.find_element(By.ID, "open-file").send_keys(str(path))
        self.wait_for(lambda: self.js("return kovPage.fileName") == name, "the file to open")
        self.settle()

    def record_redraws(self):
        self.timings["redraw"].extend(self.js("return kovPage.redrawMs.splice(0)"))
        self.timings["parts"].extend(self.js("return kovPage.redrawParts.splice(0)"))

    def screenshot(self, name):
        self.driver.save_screenshot(str(OUT / (name + ".png")))

    def tearDown(self):
        self.record_redraws()

    # ---- tests ----

    def test_loads_offline_without_errors(self):
        self.open_page()
        errors = [e for e in self.driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        self.assertEqual(errors, [])
        requested = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                requested.append(message["params"]["request"]["url"])
        self.assertEqual([u for u in requested if not u.startswith(("data:", "blob:"))], [PAGE.as_uri()])
        self.assertEqual(self.last()["texts"][0]["x"], 320)
        self.screenshot("street-1920x1080")

    def test_loc_text_pos_x_moves_the_first_text(self):
        self.open_page()
        for size in ("1920x1080", "1280x720", "3440x1440"):
            with self.subTest(size=size):
                width = int(size.split("x")[0])
                self.choose("screen-size", size)
                field = self.driver.find_element(By.ID, "key-LocTextPosX")
                field.send_keys(Keys.CONTROL, "a")
                field.send_keys("400")
                self.assertEqual(self.last()["texts"][0]["x"], round(400 * width / 1920))
                # The slider by keyboard: one step right is one screen unit.
                slider = self.driver.find_element(By.ID, "key-LocTextPosX-slider")
                slider.send_keys(Keys.ARROW_RIGHT)
                self.assertEqual(self.last()["texts"][0]["x"], round(401 * width / 1920))
                self.assertIn("LocTextPosX=401", self.js("return kovPage.text"))
                field.send_keys(Keys.CONTROL, "a")
                field.send_keys("320")
                self.settle()

    def test_a_slider_drag_redraws_once_with_the_last_value(self):
        self.open_page()
        self.record_redraws()
        # Twenty input events before the browser draws a frame, as a fast drag gives.
        self.js("const s = document.getElementById('key-LocTextPosX-slider');"
                "for (let x = 381; x <= 400; ++x) { s.value = x; s.dispatchEvent(new Event('input')); }")
        result = self.last()
        self.assertEqual(self.js("return kovPage.redrawMs.length"), 1)
        self.assertEqual(result["texts"][0]["x"], 400)
        self.assertEqual(self.driver.find_element(By.ID, "key-LocTextPosX").get_attribute("value"), "400")
        self.assertIn("LocTextPosX=400", self.js("return kovPage.text"))

    def test_positions_equal_kov_preview(self):
        self.open_page()
        plain = "[GENERAL]\r\nLocTextPosX=612\r\nLocTextPosY=990\r\nLocTextPosX_RadarLrg=300\r\nLocTextSizeMult=1.4\r\n"
        anchored = plain + "AnchorToRadar=true\r\n"
        cases = [(plain, "street", 1920, 1080, 1.0), (plain, "crossing", 2560, 1440, 0.95),
                 (plain, "far-from-roads", 1280, 720, 1.0), (anchored, "big-map", 3440, 1440, 0.9),
                 (plain, "display-off", 1920, 1080, 1.0), (plain, "online", 1920, 1200, 1.0),
                 (anchored, "near-road", 1024, 768, 0.92), (anchored, "street", 5120, 1440, 1.0)]
        for ini, scene, width, height, zone in cases:
            with self.subTest(scene=scene, size=(width, height), safe_zone=zone, anchored=ini is anchored):
                self.paste(ini)
                self.choose("scene", scene)
                self.choose("screen-size", "%dx%d" % (width, height))
                self.set_field("safe-zone", "%.2f" % zone)
                self.assertEqual(self.last()["positions"], kov_preview_positions(ini, scene, width, height, zone))
        self.screenshot("anchored-5120x1440")

    def test_the_hint_points_to_anchor_to_radar(self):
        self.open_page()
        hint = self.driver.find_element(By.ID, "hint")
        self.assertFalse(hint.is_displayed(), "no hint on 1920x1080 at a full safe zone")
        for size, zone in (("3440x1440", "1.00"), ("1920x1080", "0.90"), ("1024x768", "1.00")):
            with self.subTest(size=size, safe_zone=zone):
                self.choose("screen-size", size)
                self.set_field("safe-zone", zone)
                self.assertTrue(hint.is_displayed())
                self.assertIn("Switch AnchorToRadar on", hint.text)
        self.screenshot("hint-1024x768")
        # The hint's button switches it on: the panel follows the radar and the hint goes.
        self.driver.find_element(By.ID, "anchor-on").send_keys(Keys.ENTER)
        self.settle()
        self.assertTrue(self.driver.find_element(By.ID, "key-AnchorToRadar").is_selected())
        self.assertIn("AnchorToRadar=true", self.js("return kovPage.text"))
        self.assertTrue(self.last()["settings"]["AnchorToRadar"])
        self.assertFalse(hint.is_displayed())

    def test_the_hint_measures_against_the_big_map_the_player_sees(self):
        self.open_page()
        hint = self.driver.find_element(By.ID, "hint")
        self.choose("scene", "big-map")
        self.assertGreater(self.last()["gap"], 0)
        self.assertFalse(hint.is_displayed(), "the default big-map anchor stands beside the big map on 16:9")
        self.choose("screen-size", "1024x768")
        self.assertIn("left of the big map's right edge", hint.text)
        self.assertIn("Switch AnchorToRadar on", hint.text)
        # Over the big map on 16:9 too: anchoring would keep it there, so the hint says to move it.
        self.choose("screen-size", "1920x1080")
        self.paste("[GENERAL]\r\nLocTextPosX_RadarLrg=300\r\n")
        self.assertIn("Move it right with LocTextPosX_RadarLrg.", hint.text)
        self.assertEqual(self.driver.find_elements(By.ID, "anchor-on"), [])

    def test_picture_matches_kov_preview(self):
        """The canvas and cairo paint the same layout: only the fonts' rasterising differs."""
        self.open_page()
        for scene in ("street", "death", "online"):
            with self.subTest(scene=scene):
                self.choose("scene", scene)
                with tempfile.TemporaryDirectory(prefix="kov-page-test-") as work:
                    png = pathlib.Path(work, "picture.png")
                    kov_preview_run(self.js("return kovPage.text"), scene, 1920, 1080, png)
                    mean, far = self.driver.execute_async_script(COMPARE_WITH_CANVAS,
                                                                 base64.b64encode(png.read_bytes()).decode("ascii"))
                self.assertLess(mean, 4, "mean difference per pixel (0 to 765)")
                self.assertLess(far, 0.01, "share of pixels that differ clearly")
        self.screenshot("death-notice")

    def test_a_utf16_file_loads(self):
        self.open_page()
        text = "; Réglages à moi\r\n[GENERAL]\r\nLocTextPosX=500\r\n[MULTIPLAYER]\r\nDisplayPlayerBlips=false\r\n"
        self.open_file("KOV.ini", b"\xff\xfe" + text.encode("utf-16-le"))
        self.assertEqual(self.js("return document.getElementById('ini-text').value"), text.replace("\r\n", "\n"))
        self.assertIn("UTF-16", self.driver.find_element(By.ID, "file-info").text)
        result = self.last()
        self.assertEqual(result["texts"][0]["x"], 500)
        self.assertFalse(result["settings"]["DisplayPlayerBlips"])
        self.assertEqual(self.findings(), [])
        # An 8-bit Windows file with an accented comment reads the same.
        self.open_file("KOV.ini", text.encode("cp1252"))
        self.assertEqual(self.js("return kovPage.encoding"), "windows-1252")
        self.assertEqual(self.js("return document.getElementById('ini-text').value"), text.replace("\r\n", "\n"))
        self.assertEqual(self.last()["texts"][0]["x"], 500)

    def test_each_mistake_gets_its_message(self):
        self.open_page()
        cases = [
            ("[GENERAL]\nLocTextPoX=400\n", "Line 2: LocTextPoX is not a KOV.ini key", "the nearest is LocTextPosX"),
            ("[MULTIPLAYER]\nLocTextPosX=400\n", "Line 2: LocTextPosX belongs under [GENERAL]", "under [MULTIPLAYER]"),
            ("LocTextPosX=400\n[GENERAL]\n", "Line 1: LocTextPosX belongs under [GENERAL]", "before any section"),
            ("[GENERAL]\nLocTextPosY=\n", "Line 2: LocTextPosY is empty: the plug-in reads 0.", ""),
            ("[GENERAL]\nLocTextPosY=low\n", 'Line 2: "low" is not a number: the plug-in reads 0.', ""),
            ("[GENERAL]\nLocTextSizeMult=0.2\n", "Line 2: LocTextSizeMult is 0.2, below its smallest value 0.5", "uses 0.5"),
            ("[GENERAL]\nLocTextPosX=-40\n", "Line 2: LocTextPosX is -40, below its smallest value 0", "uses 0"),
            ("[MULTIPLAYER]\nDisplayPlayerBlips=1\n", 'Line 2: "1" is not a switch word', "reads DisplayPlayerBlips as off"),
            ('[MULTIPLAYER]\nDisplayPlayerBlips=" true"\n', 'Line 2: " true" is not a switch word', "as off"),
            ("[MULTIPLAYER]\nShowPlayerObituaries=true ; notices\n", "Line 2: The comment after the value is read as part of it",
             "reads ShowPlayerObituaries as off"),
            ("[GENERAL]\nLocTextPosX=400\nLocTextPosX=200\n", "Line 3: LocTextPosX is set again (first at line 2)",
             "uses the first one"),
        ]
        for text, message, more in cases:
            with self.subTest(text=text):
                self.paste(text)
                shown = "\n".join(self.findings())
                self.assertIn(message, shown)
                self.assertIn(more, shown)
                # The list the player sees says the same.
                self.assertIn(message, self.driver.find_element(By.ID, "findings").text)
        # Each claim about what the plug-in reads is what it read.
        self.paste("[GENERAL]\nLocTextPosY=low\nLocTextSizeMult=0.2\nLocTextPosX=-40\n[MULTIPLAYER]\nDisplayPlayerBlips=1\n")
        read = self.last()["settings"]
        self.assertEqual((read["LocTextPosY"], read["LocTextSizeMult"], read["LocTextPosX"], read["DisplayPlayerBlips"]),
                         (0, 0.5, 0, False))
        self.screenshot("mistakes")

    def test_saved_file_reads_back_to_the_same_settings(self):
        self.open_page()
        original = ("; my settings\r\n[GENERAL]\r\nLocTextPosX=400\r\n; keep this\r\nLocTextPosY=1000\r\n"
                    "[MULTIPLAYER]\r\nDisplayPlayerBlips=true ; blips\r\n")
        self.open_file("KOV.ini", b"\xff\xfe" + original.encode("utf-16-le"))
        # Change values with the controls, as a player would by keyboard.
        self.driver.find_element(By.ID, "key-LocTextPosX-slider").send_keys(Keys.ARROW_LEFT, Keys.ARROW_LEFT)
        # The comment after the value makes the plug-in read it as off; switching it on mends the line.
        self.assertFalse(self.last()["settings"]["DisplayPlayerBlips"])
        self.driver.find_element(By.ID, "key-DisplayPlayerBlips").send_keys(Keys.SPACE)
        self.driver.find_element(By.ID, "key-DisplayTeamBlipsOnly").send_keys(Keys.SPACE)
        field = self.driver.find_element(By.ID, "key-LocTextSizeMult")
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys("1.25")
        before = self.last()
        saved = self.save()
        self.assertTrue(saved.startswith(b"\xff\xfe"), "saved as UTF-16 like the file opened")
        text = saved[2:].decode("utf-16-le")
        self.assertNotIn("\n", text.replace("\r\n", ""), "Windows line ends only")
        lines = text.split("\r\n")
        for kept in ("; my settings", "; keep this", "; blips", "LocTextPosX=398", "DisplayPlayerBlips=true",
                     "DisplayTeamBlipsOnly=true", "LocTextSizeMult=1.25"):
            self.assertIn(kept, lines)
        self.assertLess(lines.index("; my settings"), lines.index("[GENERAL]"))
        # Read back through the page (the lookup in the module) and through kov-preview (the lookup
        # of the native host, the plug-in as KOV.so).
        self.open_file("KOV.ini", saved)
        after = self.last()
        self.assertEqual(after["settings"], before["settings"])
        self.assertEqual(after["settings"]["LocTextSizeMult"], 1.25)
        self.assertTrue(after["settings"]["DisplayTeamBlipsOnly"])
        self.assertEqual(after["positions"], kov_preview_positions(saved, "street", 1920, 1080))

    def test_a_file_with_a_nul_byte_reads_and_saves_byte_for_byte(self):
        self.open_page()
        original = pathlib.Path(__file__).resolve().parents[1] / "fuzz/corpus/settings_claims/nul-in-comment"
        data = original.read_bytes()
        self.assertIn(b"\0", data)
        self.open_file("KOV.ini", data)
        self.assertIn("\u2400", self.js("return document.getElementById('ini-text').value"))
        self.assertIn("The plug-in reads: 400", self.reads("LocTextPosX"))
        self.assertIn("The plug-in reads: on", self.reads("DisplayTeamBlipsOnly"))
        self.assertEqual(self.findings(), [])
        self.assertEqual(self.save(), data, "saved with nothing edited: the very bytes opened")

    def test_misleading_values_are_named_and_fields_keep_their_text(self):
        self.open_page()
        self.paste("[GENERAL]\n=1\nLocTextPosX=1e39\nLocTextPosY=" + "0" * 126 + "1234\nLocTextPosX_RadarLrg=470px\n")
        shown = "\n".join(self.findings())
        self.assertIn("Line 2: This line has no setting name before its '='", shown)
        self.assertIn("Line 3: LocTextPosX is infinite to the plug-in", shown)
        self.assertIn("Line 4: LocTextPosY is longer than the plug-in's 127 characters", shown)
        self.assertIn("The plug-in reads: infinity", self.reads("LocTextPosX"))
        self.assertIn("The plug-in reads: 1", self.reads("LocTextPosY"))
        # A value the field cannot show as a number stays as written; the slider shows what is read.
        self.assertEqual(self.driver.find_element(By.ID, "key-LocTextPosX_RadarLrg").get_attribute("value"), "470px")
        self.assertEqual(self.driver.find_element(By.ID, "key-LocTextPosX_RadarLrg-slider").get_attribute("value"), "470")
        # A value off the chosen screen is a mistake too, said next to the field that was typed in.
        self.paste("[GENERAL]\n")
        self.set_field("key-LocTextPosX", "5000")
        self.assertIn("off the screen", "\n".join(self.findings()))
        self.assertIn("off the screen", self.reads("LocTextPosX"))
        self.assertIn("LocTextPosX=5000", self.js("return kovPage.text"))

    def test_death_notices_need_the_blips(self):
        self.open_page()
        self.assertIn("need DisplayPlayerBlips on", self.driver.find_element(By.ID, "key-ShowPlayerObituaries-about").text)
        self.driver.find_element(By.ID, "key-DisplayPlayerBlips").send_keys(Keys.SPACE)
        self.settle()
        obituaries = self.reads("ShowPlayerObituaries")
        self.assertIn("The plug-in reads: on", obituaries)
        self.assertIn("no death notices", obituaries)

    def test_keyboard_and_200_percent_zoom(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": WINDOW[0] // 2, "height": WINDOW[1] // 2, "deviceScaleFactor": 2,
                                     "mobile": False})
        try:
            self.open_page()
            self.assertLessEqual(self.js("return document.documentElement.scrollWidth"),
                                 self.js("return document.documentElement.clientWidth"), "no sideways scrolling")
            # Every control is reached by Tab, in order, and none is skipped.
            wanted = ["scene", "screen-size", "safe-zone-slider", "safe-zone", "key-LocTextPosX-slider", "key-LocTextPosX",
                      "key-AnchorToRadar", "key-DisplayTeamBlipsOnly",
                      "open-button", "save-file", "use-defaults", "ini-text"]
            reached = []
            self.driver.find_element(By.ID, "scene").send_keys(Keys.SHIFT, Keys.TAB)
            for _ in range(60):
                self.driver.switch_to.active_element.send_keys(Keys.TAB)
                reached.append(self.js("return document.activeElement.id"))
            reached = reached[reached.index("scene"):]
            self.assertEqual([w for w in wanted if w in reached], wanted)
            self.assertEqual(sorted(reached.index(w) for w in wanted), [reached.index(w) for w in wanted])
            self.choose("scene", "big-map")
            self.screenshot("zoom-200-big-map")
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


if __name__ == "__main__":
    unittest.main(verbosity=2)
