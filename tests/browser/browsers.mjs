// The two browser engines players use, as the system has them: Debian's Chromium (over the
// DevTools protocol) and Firefox ESR (over WebDriver BiDi), both driven by puppeteer-core, headless,
// each with a fresh profile that never goes online by itself. Nothing here downloads a browser.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import puppeteer from "puppeteer-core";

const ALL_BROWSERS = [
  { name: "chromium", engine: "chrome", executable: "/usr/bin/chromium" },
  { name: "firefox", engine: "firefox", executable: "/usr/bin/firefox-esr" },
];

// Both, or the one KOV_BROWSER names (the build runs each browser as a test of its own, side by side).
export const BROWSERS = (() => {
  const name = process.env.KOV_BROWSER;
  if (!name) return ALL_BROWSERS;
  const chosen = ALL_BROWSERS.filter((browser) => browser.name === name);
  if (chosen.length === 0) {
    throw new Error("KOV_BROWSER=" + name + " names no browser of these: " + ALL_BROWSERS.map((b) => b.name).join(", "));
  }
  return chosen;
})();

const CHROMIUM_ARGS = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage"];

// Firefox's own offline switches, and downloads saved to the given folder without asking.
function firefoxPrefs(downloads) {
  return {
    "app.update.enabled": false, "browser.safebrowsing.malware.enabled": false,
    "browser.safebrowsing.phishing.enabled": false, "network.captive-portal-service.enabled": false,
    "network.connectivity-service.enabled": false, "datareporting.policy.dataSubmissionEnabled": false,
    "browser.download.folderList": 2, "browser.download.dir": downloads, "browser.download.useDownloadDir": true,
    "browser.download.always_ask_before_handling_new_types": false,
    "browser.helperApps.neverAsk.saveToDisk": "application/octet-stream",
    "browser.download.start_downloads_in_tmp_dir": false,
  };
}

// Starts the browser; what it downloads lands in `downloads`.
export async function launch(browser, downloads) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "kov-" + browser.name + "-"));
  const options = { browser: browser.engine, executablePath: browser.executable, headless: true, userDataDir: profile,
                    defaultViewport: null };
  if (browser.engine === "chrome") {
    Object.assign(options, { args: CHROMIUM_ARGS, downloadBehavior: { policy: "allow", downloadPath: downloads } });
  } else {
    options.extraPrefsFirefox = firefoxPrefs(downloads);
  }
  const started = await puppeteer.launch(options);
  const close = started.close.bind(started);
  started.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return started;
}

// Opens the preview page from file:// in a new tab of the given size and waits for its first
// picture. Every uncaught error, unhandled rejection and console error or warning of the page is
// collected in tab.problems, every request in tab.requests.
export async function openPage(browser, pageFile, viewport, beforeStart) {
  const tab = await browser.newPage();
  tab.problems = [];
  tab.requests = [];
  tab.on("pageerror", (error) => tab.problems.push("uncaught: " + (error.message || error)));
  tab.on("console", (message) => {
    if (["error", "warn", "warning"].includes(message.type())) tab.problems.push(message.type() + ": " + message.text());
  });
  tab.on("request", (request) => tab.requests.push(request.url()));
  await tab.evaluateOnNewDocument(() => {
    addEventListener("unhandledrejection", (event) => console.error("unhandled rejection: " + event.reason));
  });
  if (beforeStart) await beforeStart(tab);
  await tab.setViewport(viewport);
  await tab.goto(new URL("file://" + path.resolve(pageFile)).href);
  await tab.waitForFunction("document.body.dataset.ready === 'true' || document.getElementById('status').classList.contains('error')",
                            { timeout: 30000 });
  return tab;
}
