"""What the end-to-end tests with the real WSJT-X or JTDX share: a private
Xvfb desktop, the FT8 file made with ft8sim, the seeded data folder, and the
decoder itself, started, fed the file, made to log a contact and stopped.
"""
import datetime
import math
import os
import random
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import wave

SKIP = 77
NEEDED = ["ft8sim", "Xvfb", "xdotool"]

# What differs between the two programs (JTDX 2.2.159, WSJT-X 2.6.1, default
# window sizes): settings, window titles, where the Log QSO dialog takes a
# click, how the DX call is set.
PROGRAMS = {
    "wsjtx": {
        "exe": "wsjtx", "id": "WSJT-X", "ini": "WSJT-X.ini",
        "settings": "[Common]\nMode=FT8\nDialFreq=14074000\n\n[Configuration]\n"
                    "MyCall=F6XYZ\nMyGrid=JN18\nUDPServer=127.0.0.1\nUDPServerPort=%d\n"
                    "AcceptUDPRequests=true\nRig=None\nMonitorOFF=false\nPSKReporter=false\n"
                    "PromptToLog=false\nAutoLog=false\n\n[WideGraph]\nBinsPerPixel=4\n\n"
                    "[MultiSettings]\nSplash_v1.7=false\n",
        "main": r"by K1JT et al\.$", "dialog_ok_click": (40, 70), "shows_highlights": True,
    },
    "jtdx": {
        "exe": "jtdx", "id": "JTDX", "ini": "JTDX.ini",
        "settings": "[Common]\nMode=FT8\nModeTx=FT8\nDialFreq=14074000\n\n[Configuration]\n"
                    "MyCall=F6XYZ\nMyGrid=JN18\nUDPServer=127.0.0.1\nUDPServerPort=%d\n"
                    "AcceptUDPRequests=true\nEnableUDP1adifSending=false\n"
                    "EnableUDP2adifBroadcast=false\nEnableTCPConnection=false\nRig=None\n"
                    "MonitorOFF=false\nPSKReporter=false\nAllowSpotsDXSummit=false\n"
                    "PromptToLog=false\nAutoQSOLogging=false\n\n[WideGraph]\nBinsPerPixel=4\n",
        "main": r"derivative work based on WSJT-X by K1JT$", "dialog_ok_click": (28, 124),
        "dx_call_box": (311, 125), "dx_grid_box": (411, 125),
        # Takes a Highlight Callsign and shows nothing of it.
        "shows_highlights": False,
    },
}
MESSAGES = [("CQ VP8LP GD18", 700, -8), ("CQ JA1XYZ PM95", 1300, -8)]
SAMPLE_RATE = 12000
SAMPLES = 15 * SAMPLE_RATE
STATION = "F6XYZ"
# Far from UTC: a contact logged at local time instead of UTC is 9 hours off.
TIME_ZONE = "Asia/Tokyo"


def fail(text):
    print("FAILED: " + text, flush=True)
    sys.exit(1)


def skip(reason):
    print("skipped: " + reason, flush=True)
    sys.exit(SKIP)


def decoder_named(argv, position):
    return PROGRAMS[argv[position] if len(argv) > position else "wsjtx"]


def skip_unless_installed(decoder, more=()):
    missing = [p for p in NEEDED + list(more) + [decoder["exe"]] if not shutil.which(p)]
    if missing:
        skip("%s not installed (scripts/install-deps installs them)" % ", ".join(missing))


def clean_tone(message, f0, work):
    """ft8sim's waveform of one message without noise."""
    d = tempfile.mkdtemp(dir=work)
    subprocess.run(["ft8sim", message, "%.1f" % f0, "0.2", "0", "0", "1", "99"], cwd=d,
                   check=True, capture_output=True, timeout=60)
    with wave.open(os.path.join(d, "000000_000001.wav"), "rb") as w:
        raw = w.readframes(w.getnframes())
    return struct.unpack("<%dh" % (len(raw) // 2), raw)


def make_wav(path, work):
    """The messages summed at their SNR over Gaussian noise, as a 15 s file."""
    rng = random.Random(1)
    total = [0.0] * SAMPLES
    for message, f0, snr in MESSAGES:
        tone = clean_tone(message, f0, work)
        peak = max(abs(x) for x in tone) or 1
        k = 100.0 * math.sqrt(2 * 2500.0 / (SAMPLE_RATE / 2.0)) * 10 ** (0.05 * snr) / peak
        for i in range(min(SAMPLES, len(tone))):
            total[i] += k * tone[i]
    pcm = [max(-32768, min(32767, int(round(v + 100.0 * rng.gauss(0, 1))))) for v in total]
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SAMPLE_RATE)
        w.writeframes(struct.pack("<%dh" % SAMPLES, *pcm))


def record(fields):
    """A log line: callsign 12, name 15, date 8, time 5, mode 3, band 7,
    reports 3 and 3, DXCC prefix 6, entity 35, QSL mark."""
    widths = [12, 15, 8, 5, 3, 7, 3, 3, 6, 35]
    return " ".join(f.ljust(w)[:w] for f, w in zip(fields[:-1], widths)) + fields[-1]


def seed_data_folder(data, source):
    """The shipped reference files and a log where Japan is confirmed in FT8
    on 20 m: JA1XYZ brings nothing; the Falklands are new."""
    os.makedirs(data, exist_ok=True)
    for name in ("Prefixe_DXCC.txt", "Entites_DXCC.txt", "Exceptions_DXCC.txt"):
        shutil.copy(os.path.join(source, "data", name), data)
    with open(log_file(data), "wb") as f:
        f.write(record(["JA1AAA", "", "01/01/24", "10:00", "FT8", "14 Mhz", "-5", "-7", "JA",
                        "Japan", "*"]).encode("cp1252") + b"\r\n")


def log_file(data):
    return os.path.join(data, STATION + "_DXCC.log")


def make_decodable_file(work):
    """The FT8 file, named so that its decodes are stamped 12:00:00."""
    wav = os.path.join(work, "250101_120000.wav")
    make_wav(wav, work)
    return wav


def free_port():
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def poll(predicate, timeout, step=0.2):
    """The predicate's first true value before the deadline, else None."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(step)


class Desktop:
    def __init__(self, work, size="1600x1000"):
        self.work = work
        rfd, wfd = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0",
                                      size + "x24", "-nolisten", "tcp", "-noreset"],
                                     pass_fds=(wfd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(wfd)
        number = b""
        end = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < end:
            if select.select([rfd], [], [], 0.5)[0]:
                chunk = os.read(rfd, 16)
                if not chunk:
                    break
                number += chunk
        os.close(rfd)
        if not number.strip():
            fail("Xvfb gave no display")
        self.display = ":" + number.strip().decode()
        self.corner = [int(n) - 1 for n in size.split("x")]
        for d in ("home", "config", "data", "runtime", "tmp"):
            os.makedirs(os.path.join(work, d), mode=0o700, exist_ok=True)

    def env(self, tz):
        w = self.work
        return {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": w + "/home",
                "XDG_CONFIG_HOME": w + "/config", "XDG_DATA_HOME": w + "/data",
                "XDG_RUNTIME_DIR": w + "/runtime", "TMPDIR": w + "/tmp",
                "DISPLAY": self.display, "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8",
                "QT_QPA_PLATFORM": "xcb", "NO_AT_BRIDGE": "1", "TZ": tz}

    def x(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env("UTC"),
                           capture_output=True, text=True, timeout=20)
        return r.stdout.strip()

    def pointer_to_corner(self):
        # Tooltips would be windows of their own: the pointer waits in a corner.
        self.x("mousemove", *self.corner)

    def window(self, name, timeout=20.0, gone=False):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            found = self.x("search", "--onlyvisible", "--name", name).split()
            if gone != bool(found):
                return found[-1] if found else True
            time.sleep(0.2)
        return None

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env("UTC"), timeout=30)

    def grab(self):
        """What the screen shows now, as pixels."""
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                             env=self.env("UTC"), capture_output=True, timeout=30).stdout
        return Picture(ppm)

    def geometry(self, window):
        """x, y, width and height of an X window."""
        out = self.x("getwindowgeometry", "--shell", window)
        v = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])

    def close(self):
        self.xvfb.terminate()
        self.xvfb.wait(10)


class Picture:
    """A screenshot in binary PPM: its pixels as (red, green, blue)."""

    def __init__(self, ppm):
        # "P6 WIDTH HEIGHT 255" then the pixels, which end the file.
        magic, width, height = ppm.split(maxsplit=3)[:3]
        if magic != b"P6":
            fail("the screenshot is not a PPM")
        self.width, self.height = int(width), int(height)
        self.pixels = ppm[len(ppm) - 3 * self.width * self.height:]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def box_of(self, colour, rect):
        """The smallest rectangle (x, y, width, height) holding every pixel of
        `colour` inside `rect`, or None when there is none."""
        x0, y0, w, h = rect
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x0 + w), min(self.height, y0 + h)
        wanted = bytes(colour)
        xs, ys = [], []
        for y in range(y0, y1):
            row = self.pixels[3 * (y * self.width + x0):3 * (y * self.width + x1)]
            at = row.find(wanted)
            while at >= 0:
                if at % 3 == 0:
                    xs.append(x0 + at // 3)
                    ys.append(y)
                at = row.find(wanted, at + 1)
        if not xs:
            return None
        return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def configure(callsign, grid, client_id="WSJT-X"):
    """WSJT-X's Configure message: sets its DX call and grid."""
    def text(s):
        b = s.encode()
        return struct.pack(">I", len(b)) + b
    none = 0xFFFFFFFF
    return (struct.pack(">III", 0xADBCCBDA, 2, 15) + text(client_id) + text("") +
            struct.pack(">I", none) + text("") + b"\0" + struct.pack(">II", none, none) +
            text(callsign) + text(grid) + b"\0")


def udp_ports_of(pid):
    inodes = set()
    for fd in os.listdir("/proc/%d/fd" % pid):
        try:
            target = os.readlink("/proc/%d/fd/%s" % (pid, fd))
        except OSError:
            continue
        if target.startswith("socket:["):
            inodes.add(target[8:-1])
    ports = []
    with open("/proc/net/udp") as f:
        next(f)
        for line in f:
            c = line.split()
            if len(c) > 9 and c[9] in inodes:
                ports.append(int(c[1].split(":")[-1], 16))
    return ports


class Decoder:
    """The real WSJT-X or JTDX, its UDP server set to `port`."""

    def __init__(self, desktop, program, port, tz):
        self.desktop = desktop
        self.program = program
        work = desktop.work
        with open(os.path.join(work, "config", program["ini"]), "w") as f:
            f.write(program["settings"] % port)
        desktop.pointer_to_corner()
        self.process = subprocess.Popen([program["exe"]], env=desktop.env(tz), cwd=work,
                                        stdout=subprocess.DEVNULL,
                                        stderr=open(work + "/decoder.stderr", "w"),
                                        start_new_session=True)
        self.started = time.monotonic()
        self.main_window = None

    def wait_main_window(self):
        self.main_window = self.desktop.window(self.program["main"], timeout=60)
        if not self.main_window:
            fail("%s's main window did not appear" % self.program["id"])
        print(self.program["id"] + " up after %.1f s" % (time.monotonic() - self.started),
              flush=True)
        return self.main_window

    def open_file(self, wav):
        """File → Open (Ctrl+O), the file's path typed in its dialog."""
        d = self.desktop
        d.x("windowfocus", "--sync", self.main_window)
        d.x("key", "ctrl+o")
        dialog = d.window("^Open File$")
        if not dialog:
            fail("no Open File dialog")
        d.x("windowfocus", "--sync", dialog)
        d.x("type", "--delay", "4", "--", wav)
        d.x("key", "Return")

    def set_dx_call(self, callsign, grid):
        """The program's DX call and grid: a Configure message to WSJT-X;
        typed into the boxes of JTDX, which ignores that message."""
        d, program = self.desktop, self.program
        if "dx_call_box" not in program:
            for p in udp_ports_of(self.process.pid):
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                    s.sendto(configure(callsign, grid, program["id"]), ("127.0.0.1", p))
        else:
            d.x("windowfocus", "--sync", self.main_window)
            for box, value in (("dx_call_box", callsign), ("dx_grid_box", grid)):
                d.x("mousemove", "--window", self.main_window, *program[box], "click", "1")
                d.x("key", "ctrl+a")
                d.x("type", "--delay", "4", "--", value)
                d.x("key", "Tab")
            d.pointer_to_corner()
        time.sleep(1.0)

    def log_qso(self):
        """"Log QSO" (Alt+Q), then OK in its dialog."""
        d = self.desktop
        d.x("windowfocus", "--sync", self.main_window)
        d.x("key", "alt+q")
        log_dialog = d.window(r" Log QSO$")
        if not log_dialog:
            fail("no Log QSO dialog")
        d.x("mousemove", "--window", log_dialog, *self.program["dialog_ok_click"], "click", "1")
        d.pointer_to_corner()
        d.x("key", "End", "Return")

    def stop(self):
        """Asked to quit cleanly (a signal would leave its decoder behind):
        WSJT-X by a Close message, JTDX (which ignores it) by Alt+F4."""
        process, program = self.process, self.program
        if process.poll() is None:
            if program["exe"] == "jtdx" and self.main_window:
                self.desktop.x("windowfocus", "--sync", self.main_window)
                self.desktop.x("key", "alt+F4")
            for p in udp_ports_of(process.pid):
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                    s.sendto(struct.pack(">III", 0xADBCCBDA, 2, 6) +
                             struct.pack(">I", len(program["id"])) + program["id"].encode(),
                             ("127.0.0.1", p))
        try:
            process.wait(15)
        except subprocess.TimeoutExpired:
            pass
        try:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                process.wait(10)
        except (OSError, subprocess.TimeoutExpired):
            os.killpg(process.pid, signal.SIGKILL)


def logged_lines(data, callsign):
    with open(log_file(data), "rb") as f:
        return [l for l in f.read().decode("cp1252").split("\r\n") if callsign in l]


def check_logged_once_in_utc(data, callsign, before, after):
    """The contact is in the log once, its date and time UTC between the two
    instants (the decoder takes the time on when the DX call was set)."""
    lines = logged_lines(data, callsign)
    if len(lines) != 1:
        fail("%s lines in the log: %r" % (callsign, lines))
    logged = datetime.datetime.strptime(lines[0][29:37] + " " + lines[0][38:43],
                                        "%d/%m/%y %H:%M").replace(tzinfo=datetime.timezone.utc)
    if not (before - datetime.timedelta(minutes=3) <= logged <=
            after + datetime.timedelta(minutes=1)):
        fail("logged at %s, not UTC between %s and %s" % (logged, before, after))
    print("logged: %s" % lines[0].rstrip())


def utc_now():
    return datetime.datetime.now(datetime.timezone.utc)


def remove_unless_kept(work):
    if os.environ.get("VEL_KEEP_E2E") is None:
        shutil.rmtree(work, ignore_errors=True)
    else:
        print("kept", work)
