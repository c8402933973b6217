#!/usr/bin/python3
"""korvel-web's page in a real headless Chromium, against the simulated system.

    browser_test.py KORVEL_WEB DOCS_DIR SCREENSHOT_DIR

Starts `korvel-web --demo` on a free loopback port with a token file, opens the
page with the token, and does what a user does: a status request, a KX value set
and confirmed, a backup downloaded and uploaded again for verify, the live log.
Leaves a phone-wide and a desktop-wide picture of the page in SCREENSHOT_DIR.
"""
import json
import os
import secrets
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
from pathlib import Path

import jsonschema
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

KORVEL_WEB, DOCS_DIR, SCREENSHOT_DIR = (Path(a) for a in sys.argv[1:4])
WAIT = 30  # seconds; a status request of the demo system takes a few


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, server, deadline):
    while time.monotonic() < deadline:
        if server.poll() is not None:
            raise RuntimeError(f"korvel-web ended with {server.returncode}: {server.stderr.read()}")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError("korvel-web did not listen")


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        tmp = Path(cls.tmp.name)
        cls.token = secrets.token_hex(16)
        token_file = tmp / "token"
        token_file.write_text(cls.token + "\n")
        token_file.chmod(0o600)
        cls.port = free_port()
        cls.server = subprocess.Popen(
            [str(KORVEL_WEB), "--demo", "--listen", f"127.0.0.1:{cls.port}", "--token-file", str(token_file)],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        wait_for_port(cls.port, cls.server, time.monotonic() + WAIT)

        cls.downloads = tmp / "downloads"
        cls.downloads.mkdir()
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                    "--window-size=1280,900", f"--user-data-dir={tmp / 'profile'}"):
            options.add_argument(arg)
        options.add_experimental_option("prefs", {"download.default_directory": str(cls.downloads),
                                                  "download.prompt_for_download": False})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                   {"behavior": "allow", "downloadPath": str(cls.downloads)})
        cls.driver.get(f"http://127.0.0.1:{cls.port}/#token={cls.token}")
        cls.until(lambda d: cls.text("log-state") == "Live.")

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.terminate()
        cls.server.wait(timeout=WAIT)
        cls.tmp.cleanup()

    @classmethod
    def until(cls, condition):
        return WebDriverWait(cls.driver, WAIT, poll_frequency=0.1).until(condition)

    @classmethod
    def text(cls, element_id):
        return cls.driver.find_element(By.ID, element_id).text

    def click(self, element_id):
        self.until(lambda d: d.find_element(By.ID, element_id).is_enabled())
        self.driver.find_element(By.ID, element_id).click()

    def log_lines(self):
        return self.driver.execute_script("return document.getElementById('log').children.length")

    def requests_sent(self):
        return self.driver.execute_script("return window.sentRequests")

    def status(self):
        self.click("status-run")
        self.until(lambda d: "answered" in self.text("status-msg"))

    def test_1_token_leaves_the_address_and_no_cookie_carries_it(self):
        self.assertNotIn(self.token, self.driver.current_url)
        self.assertEqual(self.driver.execute_script("return document.cookie"), "")
        self.assertEqual(self.driver.execute_script("return sessionStorage.getItem('korvel-token')"), self.token)

    def test_2_status_lists_the_modules_and_the_log_follows_live(self):
        before = self.log_lines()
        self.status()
        # Read in one go: a module event may redraw the table between two reads.
        names = lambda d: set(d.execute_script(
            "return [...document.querySelectorAll('#modules tbody tr th')].map(t => t.textContent)"))
        self.until(lambda d: {"kx:0", "zr:1"} <= names(d))
        # Every exchange of the request reached the page over the events socket.
        self.until(lambda d: self.log_lines() > before)

    def test_3_kx_value_out_of_range_is_marked_and_not_sent_in_range_is_confirmed(self):
        self.status()
        Select(self.driver.find_element(By.ID, "kx-module")).select_by_value("0")
        self.click("kx-read")
        field = self.until(lambda d: d.find_element(By.CSS_SELECTOR, '#kx-form [data-setting="hfi"]'))
        setter = field.find_element(By.XPATH, "following-sibling::button")
        self.driver.execute_script(
            "window.sentRequests = 0; const f = window.fetch;"
            "window.fetch = (...a) => { window.sentRequests++; return f(...a); }")

        field.clear()
        field.send_keys("16")
        setter.click()
        self.assertEqual(field.get_attribute("aria-invalid"), "true")
        self.assertEqual(self.requests_sent(), 0)

        before = self.log_lines()
        value = (int(self.driver.execute_script("return arguments[0].defaultValue", field)) + 5) % 16
        field.clear()
        field.send_keys(str(value))
        setter.click()
        self.until(lambda d: "confirmed" in self.text("kx-msg"))
        self.assertEqual(self.requests_sent(), 1)
        self.assertIn("confirmed", field.get_attribute("class"))
        self.assertEqual(field.get_attribute("value"), str(value))
        self.until(lambda d: self.log_lines() > before)
        type(self).hfi_set = value

    def test_3b_the_page_offers_only_what_the_module_and_the_unit_offer(self):
        Select(self.driver.find_element(By.ID, "kx-module")).select_by_value("2.1")
        self.click("kx-read")
        self.until(lambda d: "kx:2.1 KX44:" in self.text("kx-msg"))
        setters = self.driver.execute_script(
            "return Object.fromEntries([...document.querySelectorAll('#kx-form [data-setting]')]"
            ".map(f => [f.dataset.setting, f.parentElement.querySelectorAll('button').length]))")
        self.assertEqual((setters["ms"], setters["hfi"]), (0, 1))  # a KX44 reports its mode, takes none
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}/api/vg",
                                         headers={"Authorization": "Bearer " + self.token})
        offer = json.loads(urllib.request.urlopen(request, timeout=WAIT).read())
        for frame in ("config", "options"):
            boxes = self.driver.execute_script(
                f"return [...document.querySelectorAll('#vg-{frame} input')].map(i => Number(i.value))")
            self.assertEqual(boxes, [b["bit"] for b in offer[frame]["bits"]], frame)

    def test_4_backup_downloads_and_verifies_against_the_system(self):
        self.click("backup-download")
        files = self.until(lambda d: [p for p in self.downloads.glob("*.json")])
        self.assertRegex(files[0].name, r"^korvel-backup-\d{8}T\d{6}Z\.json$")
        backup = json.loads(files[0].read_text())
        jsonschema.validate(backup, json.loads((DOCS_DIR / "backup.schema.json").read_text()))
        kx0 = next(m for m in backup["modules"] if m["module"] == "kx:0")
        self.assertEqual(kx0["active"]["hfi"], self.hfi_set)  # set by the test before

        self.driver.find_element(By.ID, "backup-file").send_keys(str(files[0]))
        self.click("verify-run")
        self.until(lambda d: self.text("backup-msg").startswith("Verify:"))
        kinds = {r.find_elements(By.TAG_NAME, "td")[-1].text
                 for r in self.driver.find_elements(By.CSS_SELECTOR, "#items tbody tr")}
        self.assertEqual(kinds, {"equal"})

        self.click("restore-dry")
        self.until(lambda d: self.text("backup-msg").startswith("Dry run:"))
        self.assertTrue(self.driver.find_element(By.ID, "restore-run").is_enabled())

    def test_5_screenshots_fit_phone_and_desktop(self):
        SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
        for name, width in (("phone", 360), ("desktop", 1280)):
            self.driver.set_window_size(width, 900)
            inner = self.driver.execute_script("return window.innerWidth")
            # Stretch the window over the whole page, so the picture shows all of it.
            height = self.driver.execute_script("return document.documentElement.scrollHeight")
            self.driver.set_window_size(width, height + 900 - self.driver.execute_script("return innerHeight"))
            overflow = self.driver.execute_script(
                "return [...document.querySelectorAll('button, input, select, label, h2, legend')]"
                ".filter(e => e.offsetParent && e.getBoundingClientRect().right > innerWidth + 0.5)"
                ".map(e => e.id || e.textContent.trim())")
            self.assertEqual(overflow, [], f"{name}: beyond the right edge")
            self.assertLessEqual(self.driver.execute_script("return document.documentElement.scrollWidth"), inner)
            self.assertTrue(self.driver.save_screenshot(str(SCREENSHOT_DIR / f"korvel-web-{name}.png")))

    def test_6_every_control_has_a_name(self):
        unnamed = self.driver.execute_script(
            "return [...document.querySelectorAll('input, select, button')]"
            ".filter(e => !(e.labels && e.labels.length) && !e.getAttribute('aria-label')"
            " && !e.textContent.trim()).map(e => e.id || e.outerHTML)")
        self.assertEqual(unnamed, [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
