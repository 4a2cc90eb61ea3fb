// Opens the preview page in headless Chromium (tests/browser/browsers.mjs) and writes a screenshot
// of it at a 1366x768 window.
// usage: node scripts/page-screenshot.mjs Wayglass-preview.html OUT.png [SCENE]
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import { BROWSERS, launch, openPage } from "../tests/browser/browsers.mjs";

const [pageFile, out, scene] = process.argv.slice(2);
if (!out || process.argv.length > 5) {
  console.error("usage: node scripts/page-screenshot.mjs Wayglass-preview.html OUT.png [SCENE]");
  process.exit(2);
}
if (!fs.existsSync(pageFile)) {
  console.error("page-screenshot: " + pageFile + " is missing; build it first (make web)");
  process.exit(1);
}
const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "kov-downloads-"));
const browser = await launch(BROWSERS[0], downloads);
try {
  const tab = await openPage(browser, pageFile, { width: 1366, height: 768 });
  if (await tab.evaluate(() => document.body.dataset.ready !== "true")) {
    throw new Error("the page did not start: " + await tab.evaluate(() => document.getElementById("status").textContent));
  }
  if (scene) {
    await tab.select("#scene", scene);
    await tab.evaluate(() => kovTestHooks.settled());
  }
  fs.mkdirSync(path.dirname(path.resolve(out)), { recursive: true });
  await tab.screenshot({ path: out });
  console.log("wrote " + out + " (load: " + (await tab.evaluate(() => kovTestHooks.takeTimings().loadMs)).toFixed(0) + " ms)");
} catch (error) {
  console.error("page-screenshot: " + error.message);
  process.exitCode = 1;
} finally {
  await browser.close();
  fs.rmSync(downloads, { recursive: true, force: true });
}
