#!/usr/bin/env python3
"""The web page in a real headless Chromium, against the executable.

Usage: tests/web_page.py path/to/site path/to/zarn
Fails when Chromium, its driver, Selenium or the built page is missing, or
exits 77 (skipped) where ZARN_SKIP_MISSING_TOOLS asks for that."""
import base64
import os
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
site, zarn = (os.path.abspath(a) for a in sys.argv[1:3])
page = os.path.join(site, "index.html")


def on_path(tool):
    return any(os.access(os.path.join(d, tool), os.X_OK) for d in os.environ["PATH"].split(":"))


def cannot_run(reason):
    """As tests/harness.sh's skip: a failure unless skipping was asked for."""
    if os.environ.get("ZARN_SKIP_MISSING_TOOLS", "").lower() in ("", "0", "off", "no", "false"):
        print(f"FAIL: {reason} (or set ZARN_SKIP_MISSING_TOOLS=1 to skip what cannot run here)")
        sys.exit(1)
    print(f"SKIP: {reason}")
    sys.exit(SKIP)


if not os.path.exists(page):
    if not on_path("emcc"):
        cannot_run("emcc not found (Debian package: emscripten), so the page is not built")
    cannot_run(f"{page} not built (cmake --workflow --preset web)")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:
    cannot_run("selenium not found (Debian package: python3-selenium)")
for tool, package in (("chromium", "chromium"), ("chromedriver", "chromium-driver")):
    if not on_path(tool):
        cannot_run(f"{tool} not found (Debian package: {package})")

passed = failed = 0


def check(name, got, want):
    global passed, failed
    if got == want:
        passed += 1
    else:
        failed += 1
        print(f"FAIL: {name}\n  got:      {got!r:.300}\n  expected: {want!r:.300}")


def executable(args, workdir):
    """The executable's file (or None), diagnostic, standard output and status."""
    out = os.path.join(workdir, "want.out")
    if os.path.exists(out):
        os.remove(out)
    run = subprocess.run([zarn, *args], cwd=workdir, capture_output=True)
    data = open(out, "rb").read() if os.path.exists(out) else None
    return data, run.stderr.decode(), run.stdout.decode(), run.returncode


downloads = tempfile.mkdtemp()
work = tempfile.mkdtemp()
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1000,1400",
             "--autoplay-policy=no-user-gesture-required"):
    options.add_argument(flag)
options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                          "download.prompt_for_download": False})
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})


def console_errors():
    return [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]


def render(args):
    got = driver.execute_script("""
        const r = window.zarn.render(arguments[0]);
        let text = "";
        for (let i = 0; i < r.bytes.length; i += 8192)
          text += String.fromCharCode(...r.bytes.subarray(i, i + 8192));
        return [btoa(text), r.status, r.diagnostic, r.out];""", args)
    return base64.b64decode(got[0]), got[2], got[3], got[1]


def set_field(element_id, text):
    field = driver.find_element(By.ID, element_id)
    if field.get_attribute("value") == text:
        return
    if len(text) > 100:  # typed key by key, a long message would take minutes
        driver.execute_script("""const f = document.getElementById(arguments[0]); f.value = arguments[1];
            f.dispatchEvent(new Event("input", {bubbles: true}));""", element_id, text)
        return
    field.send_keys(Keys.CONTROL, "a")
    field.send_keys(Keys.DELETE)
    if text:
        field.send_keys(text)


def fill(form):
    defaults = {"callsign": "Q1ABC", "wpm": "20", "freq": "", "farnsworth": "", "rate": "11025",
                "ramp": "0", "volume": "0", "lead": "0", "tail": "0"}
    driver.find_element(By.CSS_SELECTOR, f'input[value="{form.get("mode", "callsign")}"]').click()
    Select(driver.find_element(By.ID, "encoding")).select_by_value(form.get("encoding", "u8"))
    Select(driver.find_element(By.ID, "preset")).select_by_value(form.get("preset", ""))
    raw = driver.find_element(By.ID, "raw")
    if raw.is_selected() != form.get("raw", False):
        raw.send_keys(Keys.SPACE)
    for field, default in defaults.items():
        set_field(field, form.get(field, default))
    time.sleep(0.2)  # the page redraws on the next frame
    WebDriverWait(driver, 120).until(lambda d: d.find_element(By.ID, "summary").text)


def downloaded(before, seconds=10):
    """The new file's name once it is whole: Chromium may reserve the name
    with an empty file while the bytes still go to a .crdownload beside it."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        names = os.listdir(downloads)
        new = [f for f in names if f not in before and not f.endswith(".crdownload")
               and f + ".crdownload" not in names
               and os.path.getsize(os.path.join(downloads, f)) > 0]
        if new:
            return new[0]
        time.sleep(0.1)
    return None


try:
    driver.get("file://" + page)
    WebDriverWait(driver, 30).until(
        lambda d: d.execute_script("return document.documentElement.dataset.ready") == "true")
    check("no console error on load", console_errors(), [])

    # window.zarn.render against the executable.
    # "@" is where the executable takes its file name.
    cases = [
        "Q1ABC 20 @", "Q1ABC/M 25 @ 600", "q1abc 12.5 @ 800 extra",
        "-r 8000 -e ulaw --raw --ramp 5 Q1ABC 20 @",
        "-r 16000 -e s16 --ramp 5 --volume -6 Q1ABC 20 @",
        "--text --farnsworth 20 'CQ CQ DE Q1ABC <AR>' 10 @",
        "--text --lead 500 --tail 2000 --ramp 5 'VVV DE Q1ABC/B' 12 @",
        "--rate=22050 -ealaw -- Q1ABC 2D1 @ 700",
        "-r 44100 -e s16 --volume -20.5 --ramp 2.5 0000000000 4.4 @",
        "0000000000 1 @", "Q1ABC 0 @", "Q1ABC -1.5 @", "Q1ABC 2x @", "Q1ABC '' @",
        "Q1ABC 1e9 @", "'Q1#BC' 20 @", "Q1ABC 20 @ --raw", "--rate 7999 Q1ABC 20 @",
        "--ramp 100 Q1ABC 20 @", "--farnsworth 12.5 Q1ABC 20 @", "--text 'CQ <AR' 20 @",
        "-r 8000 Q1ABC 20 @ 5000", "--volume 1e-7 --ramp 0.000123 Q1ABC 0.01 @",
        "--bogus Q1ABC 20 @", "Q1ABC", "--help", "-V",
        "--preset svxlink Q1ABC 20 @", "-p asterisk --ramp 2 Q1ABC 20 @",
        # A seeded practice set in band conditions: the page draws as the executable does.
        "--koch 5 --groups 4 --frame --seed 7 --noise 6 --qsb 8 --ramp 5 20 @",
        "--text --seed 3 --noise 0 --qrm 25 -e s16 'CQ |w25 DE Q1ABC' 18 @",
    ]
    for case in cases:
        words = shlex.split(case)
        args = [w for w in words if w != "@"]
        want = executable([w if w != "@" else "want.out" for w in words], work)
        got = render(args)
        check(f"render {case}: status", got[3], want[3])
        check(f"render {case}: diagnostic", got[1], want[1])
        check(f"render {case}: standard output", got[2], want[2])
        check(f"render {case}: bytes", got[0], want[0] or b"")

    # The module refuses what it cannot have, in words, and answers the next
    # call with the right file even after a call that threw.
    good = render(["Q1ABC", "20"])[0]
    check("plain ID before hostile calls", good, executable(["Q1ABC", "20", "want.out"], work)[0])
    hostile = [["-f", "-", "20"], ["-f", "/etc/passwd", "20"], ["-f", "/dev/stdin", "20"],
               ["--raw", "-r", "192000", "-e", "s16", "--word-gap", "2e5", "--text", "E E", "20"], None]
    for args in hostile:
        answer = driver.execute_script("""
            const args = arguments[0] || ["Q1ABC", {toString() { throw new Error("thrown"); }}];
            try { const r = window.zarn.render(args); return [r.status, r.diagnostic, r.bytes.length]; }
            catch (e) { return ["threw", e.message, 0]; }""", args)
        # Only a call that throws in JS itself may throw; the others answer.
        refused = answer[0] == "threw" if args is None else \
            answer[0] not in (0, "threw") and answer[1].startswith("zarn: ") and not answer[2]
        check(f"{args}: refused in words", (refused, answer[1] != ""), (True, True))
        check(f"{args}: the next call", render(["Q1ABC", "20"])[0], good)

    # What Play plays: the file's own samples, as sox reads them, with or
    # without the header.
    for encoding in ("u8", "s16", "ulaw", "alaw") if shutil.which("sox") else ():
        args = ["-r", "8000", "-e", encoding, "--ramp", "3", "--volume", "-3", "Q1ABC", "20"]
        played, raw_same = driver.execute_script("""
            const wav = window.zarn.render(arguments[0]).bytes;
            const raw = window.zarn.render(["--raw", ...arguments[0]]).bytes;
            const a = zarnSound.decode(zarnSound.sampleBytes(wav, {raw: false}), arguments[1]);
            const b = zarnSound.decode(zarnSound.sampleBytes(raw, {raw: true}), arguments[1]);
            return [Array.from(a), a.length === b.length && a.every((x, i) => x === b[i])];""",
            args, encoding)
        open(os.path.join(work, "id.wav"), "wb").write(render(args)[0])
        read = subprocess.run(["sox", "id.wav", "-t", "f32", "-"], cwd=work, capture_output=True)
        want = list(struct.unpack(f"<{len(read.stdout) // 4}f", read.stdout))
        check(f"{encoding}: samples played are sox's", len(played) == len(want) and
              max(abs(p - w) for p, w in zip(played, want)) < 1e-6, True)
        check(f"{encoding}: raw samples played as the WAV's", raw_same, True)

    # The form, typed in, downloaded, and the command line it shows, run.
    # Each row: the form, and the format the summary names; its duration is
    # the executable's sample bytes at that rate.
    long_message = " ".join(["CQ", "DE", "Q1ABC", "TEST", "73"][i % 5] for i in range(4000))
    forms = [
        ({}, "WAV, 8-bit at 11025 Hz", 11025, 1),
        ({"callsign": "Q1ABC/P", "wpm": "25", "freq": "700"}, "WAV, 8-bit at 11025 Hz", 11025, 1),
        ({"mode": "message", "callsign": "CQ DE Q1ABC", "wpm": "10", "farnsworth": "20"},
         "WAV, 8-bit at 11025 Hz", 11025, 1),
        ({"rate": "8000", "encoding": "ulaw", "raw": True, "ramp": "5"},
         "raw mu-law samples at 8000 Hz", 8000, 1),
        ({"rate": "16000", "encoding": "s16", "volume": "-6", "lead": "100", "tail": "200"},
         "WAV, 16-bit at 16000 Hz", 16000, 2),
        ({"mode": "message", "encoding": "alaw", "raw": True, "callsign": "-TEST- <AR>"},
         "raw A-law samples at 11025 Hz", 11025, 1),
        ({"preset": "asterisk", "callsign": "Q2XYZ"}, "raw mu-law samples at 8000 Hz", 8000, 1),
        ({"preset": "svxlink", "raw": True}, "raw 16-bit samples at 16000 Hz", 16000, 2),
        ({"preset": "asterisk-wav", "rate": "16000"}, "WAV, 16-bit at 16000 Hz", 16000, 2),
        ({"callsign": "0000000000", "wpm": "0.02"}, "WAV, 8-bit at 11025 Hz", 11025, 1),
        ({"mode": "message", "callsign": long_message}, "WAV, 8-bit at 11025 Hz", 11025, 1),
    ]
    for form, words, rate, width in forms:
        fill(form)
        command = driver.find_element(By.ID, "command").get_attribute("value")
        args = shlex.split(command)
        run = subprocess.run([zarn, *args[1:]], cwd=work, capture_output=True)
        check(f"{command[:200]}: runs", (run.returncode, run.stderr.decode()), (0, ""))
        before = set(os.listdir(downloads))
        driver.find_element(By.ID, "download").click()
        name = downloaded(before)
        check(f"{command[:200]}: downloaded name", name, os.path.basename(args[-2 if "freq" in form else -1]))
        if name:
            got = open(os.path.join(downloads, name), "rb").read()
            want = open(os.path.join(work, name), "rb").read()
            check(f"{command[:200]}: downloaded bytes", got == want, True)
            samples = want if words.startswith("raw") else want[want.index(b"data") + 8:]
            summary = driver.find_element(By.ID, "summary").text
            check(f"{command[:200]}: summary", summary.split(", made")[0],
                  f"{len(samples) / width / rate:.2f} s, {len(want):,} bytes ({name}: {words})")
            os.remove(os.path.join(downloads, name))  # a second file of that name gets another
            os.remove(os.path.join(work, name))

    # Refusals appear next to their field, in the executable's words, and
    # nothing is downloaded.
    refusals = [
        ({"wpm": "0"}, "wpm"), ({"wpm": "2x"}, "wpm"), ({"freq": "7o0"}, "freq"),
        ({"rate": "7999"}, "rate"), ({"ramp": "100"}, "ramp"), ({"farnsworth": "10"}, "farnsworth"),
        ({"callsign": "Q1#BC"}, "callsign"), ({"rate": "8000", "freq": "5000"}, "freq"),
        ({"callsign": "0000000000", "wpm": "0.005"}, "wpm"),  # the page's bound, not the tool's
    ]
    for form, field in refusals:
        fill(form)
        command = shlex.split(driver.find_element(By.ID, "command").get_attribute("value"))
        want = subprocess.run([zarn, *command[1:]], cwd=work, capture_output=True)
        written = os.path.join(work, command[-1])
        if want.returncode == 0:
            want_text = f"This sound would be {os.path.getsize(written):,} bytes"
            os.remove(written)
        else:
            want_text = want.stderr.decode().strip()
        shown = driver.find_element(By.ID, field + "-error").text
        check(f"{form}: refusal next to {field}", shown[:len(want_text)], want_text)
        check(f"{form}: marked invalid",
              driver.find_element(By.ID, field).get_attribute("aria-invalid"), "true")
        before = set(os.listdir(downloads))
        driver.execute_script("document.getElementById('download').click()")
        check(f"{form}: nothing downloaded", downloaded(before, 1), None)

    # The speeds the command line reads draw the keying of their plain value.
    for speed, plain in (("2D1", "20"), ("12.5Q0", "12.5"), ("20,5", "20"), ("25/", "25")):
        pictures = []
        for wpm in (speed, plain):
            fill({"wpm": wpm})
            pictures.append(driver.find_element(By.ID, "keying").get_attribute("aria-label"))
        check(f"speed {speed}: the keying of {plain}", pictures[0], pictures[1])

    # A typical ID, made in the page as a user's keystroke makes it.
    fill({})
    times = driver.execute_script("""
        const t = [];
        for (let i = 0; i < 25; i++) {
          const s = performance.now(); window.zarn.render(["Q1ABC", "20"]); t.push(performance.now() - s);
        }
        return t.sort((a, b) => a - b);""")
    print(f"render Q1ABC 20: median {times[len(times) // 2]:.2f} ms, slowest {times[-1]:.2f} ms")
    check("typical ID renders in under 20 ms", times[len(times) // 2] < 20, True)

    driver.find_element(By.ID, "play").click()
    time.sleep(0.3)
    driver.find_element(By.ID, "stop").click()
    check("no console error after the whole session", console_errors(), [])
finally:
    driver.quit()

print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
