"""Debian's Chromium, headless and offline, driven through chromium-driver (python3-selenium)."""
import shutil
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

WINDOW = (1400, 1000)


def start_browser(downloads):
    """A fresh browser profile that never goes online by itself; downloads land in `downloads`."""
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", "--user-data-dir=" + tempfile.mkdtemp(prefix="kov-chromium-"),
                     "--window-size=%d,%d" % WINDOW):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"download.default_directory": str(downloads),
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
    return driver


def wait_until_ready(driver, seconds=20):
    """Waits for the preview page's first picture; False when it never came."""
    end = time.time() + seconds
    while time.time() < end:
        if driver.execute_script("return document.body.dataset.ready === 'true'"):
            return True
        time.sleep(0.02)
    return False
