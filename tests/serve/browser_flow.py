#!/usr/bin/env python3
"""The browser front end in real headless Chromium (Debian's chromium,
chromium-driver and python3-selenium): a case made from the form with the
bundled example's descriptor uploaded, saved, run with its progress page,
and its report shown on the results page with its design checks and charts.

    browser_flow.py SITEDRAIN_EXE EXAMPLE_DESCRIPTOR [--screenshots DIR] [--wine]

Screenshots of the form and of the results go to DIR (default: a
temporary folder, named on the output).  With --wine the program is the
Windows executable, run under Wine.  Exit 0 passed, 1 failed, 77
skipped (browser, driver or selenium missing; a failure under CI=true).
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def missing(what):
    if os.environ.get("CI") == "true":
        print(f"FAILED: {what} is missing")
        sys.exit(1)
    print(f"SKIPPED: {what} is missing: install it to run this test")
    sys.exit(SKIP)


def requested(driver):
    """(resource type, address) of every request in the performance log."""
    asked = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") == "Network.requestWillBeSent":
            params = message["params"]
            asked.append((params.get("type", ""), params["request"]["url"]))
    return asked


def main():
    exe, descriptor = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shots = None
    if "--screenshots" in sys.argv:
        shots = os.path.abspath(sys.argv[sys.argv.index("--screenshots") + 1])
    try:
        from selenium import webdriver
        from selenium.webdriver.common.by import By
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.support import expected_conditions
        from selenium.webdriver.support.ui import WebDriverWait
    except ImportError:
        missing("python3-selenium")
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    driver_exe = shutil.which("chromedriver")
    if not browser:
        missing("chromium")
    if not driver_exe:
        missing("chromium-driver")

    work = tempfile.mkdtemp(prefix="sitedrain_browser_")
    shots = shots or work
    os.makedirs(shots, exist_ok=True)
    workspace = os.path.join(work, "workspace")
    os.makedirs(workspace)
    command = [exe, "serve", "--port", "0", "--workspace", workspace]
    if "--wine" in sys.argv:
        command = [shutil.which("wine64") or "/usr/lib/wine/wine64", exe, "serve", "--port", "0",
                   "--workspace", "Z:" + workspace.replace("/", "\\")]
    server = subprocess.Popen(command,
                              stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
    driver = None
    failures = []

    def submit(button):
        """Presses a form's button and waits for the page it leads to."""
        page = driver.find_element(By.TAG_NAME, "html")
        button.click()
        WebDriverWait(driver, 60).until(expected_conditions.staleness_of(page))

    def check(ok, what):
        print(("ok     " if ok else "FAILED ") + what)
        if not ok:
            failures.append(what)

    try:
        line = server.stdout.readline()
        m = re.search(r"(http://127\.0\.0\.1:\d+/\?token=[0-9a-f]+)", line)
        if not m:
            print("FAILED: no address from sitedrain serve: " + line)
            return 1
        options = webdriver.ChromeOptions()
        options.binary_location = browser
        for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                  "--window-size=1200,1500", f"--user-data-dir={work}/profile"):
            options.add_argument(a)
        # The performance log records each page the browser asked for: the run
        # page may pass on to the results before the test looks at the bar.
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        driver = webdriver.Chrome(service=Service(driver_exe), options=options)
        driver.set_page_load_timeout(60)

        # The printed address: the cases page, the token gone from the bar.
        driver.get(m.group(1))
        check("token" not in driver.current_url, "the address bar keeps no token")
        check(driver.find_element(By.TAG_NAME, "h1").text == "Cases", "the cases page")

        # New case, then the descriptor uploaded through the form and saved.
        driver.find_element(By.ID, "new-name").send_keys("hexham_browser")
        submit(driver.find_element(By.XPATH, "//button[text()='New case']"))
        check("/edit?case=hexham_browser" in driver.current_url, "New case opens its form")
        fields = driver.find_elements(By.CSS_SELECTOR, "form.site [name^='k.']")
        rows = driver.find_elements(By.CSS_SELECTOR, "table.rows tbody tr")
        check(len(fields) >= 30, f"one field per key ({len(fields)})")
        check(len(rows) == 2, f"the sub-catchments as rows ({len(rows)})")
        driver.find_element(By.ID, "descriptor-upload").send_keys(descriptor)
        driver.find_element(By.ID, "f-climate_change_factor").clear()
        driver.find_element(By.ID, "f-climate_change_factor").send_keys("1.4")
        suffix = "_windows" if "--wine" in sys.argv else ""
        driver.save_screenshot(os.path.join(shots, f"serve_form{suffix}.png"))
        submit(driver.find_element(By.XPATH, "//button[@value='save']"))
        notice = driver.find_element(By.ID, "check").text
        check(notice.startswith("Saved."), "saved and checked: " + notice.splitlines()[0])
        check("cd_Hexham_descriptor.csv" in driver.find_element(By.CLASS_NAME, "current-file").text,
              "the descriptor stored under its fixed name")

        # A wrong value: the check's words beside the field.
        depth = driver.find_element(By.ID, "f-max_depth_m")
        depth.clear()
        depth.send_keys("-1")
        submit(driver.find_element(By.XPATH, "//button[@value='save']"))
        bad = driver.find_elements(By.CSS_SELECTOR, ".field.bad .error")
        check(len(bad) == 1 and "max_depth_m: -1 is out of range" in bad[0].text,
              "the error beside its field")
        depth = driver.find_element(By.ID, "f-max_depth_m")
        depth.clear()
        depth.send_keys("1.5")
        submit(driver.find_element(By.XPATH, "//button[@value='save_run']"))

        # The run page follows the run, then the results page opens.
        deadline = time.time() + 300
        while "/results" not in driver.current_url and time.time() < deadline:
            time.sleep(0.5)
        check("/results?case=hexham_browser" in driver.current_url, "the results page after the run")
        asked = requested(driver)
        check(any("/run?case=hexham_browser" in u for kind, u in asked if kind == "Document"),
              "Save and run opens the run page")
        check(any("/progress?case=hexham_browser" in u for kind, u in asked if kind != "Document"),
              "the run page asked for the run's progress")
        links = [a.text for a in driver.find_elements(By.CSS_SELECTOR, ".files a")]
        for f in ("report.txt", "report.html", "csv/storms.csv", "results_full.txt"):
            check(f in links, f"a link to {f}")
        check(any("zip" in a.text for a in driver.find_elements(By.CSS_SELECTOR, "a.button")),
              "the zip link")
        driver.save_screenshot(os.path.join(shots, f"serve_results{suffix}.png"))
        frame = driver.find_element(By.CSS_SELECTOR, "iframe.report")
        driver.switch_to.frame(frame)
        body = driver.find_element(By.TAG_NAME, "body").text
        charts = driver.find_elements(By.TAG_NAME, "svg")
        checks = driver.find_elements(By.CSS_SELECTOR, "section#checks table")
        check(len(checks) >= 1 and "Design checks" in body, "the report's design-checks table")
        check(len(charts) >= 2, f"the report's charts ({len(charts)})")
        driver.switch_to.default_content()
        # Nothing blocked, nothing failed: the pages and the report keep their
        # policies and ask for nothing outside this server.
        errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not errors, "no error in the browser's console " + "; ".join(errors))
        print("screenshots: " + os.path.join(shots, f"serve_form{suffix}.png") + ", " +
              os.path.join(shots, f"serve_results{suffix}.png"))
    finally:
        if driver:
            driver.quit()
        server.terminate()
        try:
            server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            server.kill()
        if shots != work:
            shutil.rmtree(work, ignore_errors=True)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
