#!/usr/bin/python3
"""Opens the preview page in headless Chromium and writes a screenshot of it.

usage: scripts/page-screenshot.py Wayglass-preview.html OUT.png [SCENE]
"""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "browser"))
from chromium import start_browser, wait_until_ready  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import Select  # noqa: E402


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    page, out = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2])
    if not page.exists():
        sys.exit("page-screenshot: %s is missing; build it first (make web)" % page)
    driver = start_browser(tempfile.mkdtemp(prefix="kov-downloads-"))
    try:
        driver.get(page.as_uri())
        if not wait_until_ready(driver):
            sys.exit("page-screenshot: the page did not start: " + driver.find_element(By.ID, "status").text)
        if len(sys.argv) == 4:
            Select(driver.find_element(By.ID, "scene")).select_by_value(sys.argv[3])
            driver.execute_async_script("kovPage.settled().then(arguments[arguments.length - 1])")
        out.parent.mkdir(parents=True, exist_ok=True)
        driver.save_screenshot(str(out))
        print("wrote", out, "(load: %.0f ms)" % driver.execute_script("return kovPage.loadMs"))
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
