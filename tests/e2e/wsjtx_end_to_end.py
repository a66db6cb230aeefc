#!/usr/bin/env python3
"""The real WSJT-X (or JTDX), under Xvfb, sends its decodes and a logged
contact to `vel_dxcc wsjtx --log`: the decodes of an FT8 file made by ft8sim
must come out with the right statuses, and the contact logged in the
program's "Log QSO" dialog must land in the log once, with its UTC date and
time, in a time zone far from UTC. WSJT-X sends the contact twice (QSO Logged
and Logged ADIF); JTDX, its Logged ADIF left off, only as a QSO Logged whose
times are marked local but hold UTC.

usage: wsjtx_end_to_end.py VEL_DXCC SOURCE_DIR [wsjtx|jtdx]
Exits 77 (skipped) with the reason printed when a program it needs is missing.
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
        "main": r"by K1JT et al\.$", "dialog_ok_click": (40, 70),
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
    },
}
MESSAGES = [("CQ VP8LP GD18", 700, -8), ("CQ JA1XYZ PM95", 1300, -8)]
SAMPLE_RATE = 12000
SAMPLES = 15 * SAMPLE_RATE


def fail(text):
    print("FAILED: " + text, flush=True)
    sys.exit(1)


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


def free_port():
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class Desktop:
    def __init__(self, work):
        self.work = work
        rfd, wfd = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0",
                                      "1600x1000x24", "-nolisten", "tcp", "-noreset"],
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

    def window(self, name, timeout=20.0, gone=False):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            found = self.x("search", "--onlyvisible", "--name", name).split()
            if gone != bool(found):
                return found[-1] if found else True
            time.sleep(0.2)
        return None

    def close(self):
        self.xvfb.terminate()
        self.xvfb.wait(10)


class Lines:
    """The command's output, read as it comes."""

    def __init__(self, process):
        self.process = process
        self.lines = []
        os.set_blocking(process.stdout.fileno(), False)
        self.rest = b""

    def wait(self, predicate, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if select.select([self.process.stdout], [], [], 0.5)[0]:
                chunk = self.process.stdout.read() or b""
                self.rest += chunk
                *done, self.rest = self.rest.split(b"\n")
                self.lines += [d.decode() for d in done]
            if predicate(self.lines):
                return True
            if self.process.poll() is not None:
                return predicate(self.lines)
        return False


def configure(callsign, grid, client_id="WSJT-X"):
    """WSJT-X's Configure message: sets its DX call and grid."""
    def text(s):
        b = s.encode()
        return struct.pack(">I", len(b)) + b
    none = 0xFFFFFFFF
    return (struct.pack(">III", 0xADBCCBDA, 2, 15) + text(client_id) + text("") +
            struct.pack(">I", none) + text("") + b"\0" + struct.pack(">II", none, none) +
            text(callsign) + text(grid) + b"\0")


def set_dx_call(desktop, decoder, main_window, pid):
    """VP8LP and GD18 as the program's DX call and grid: a Configure message to
    WSJT-X; typed into the boxes of JTDX, which ignores that message."""
    if "dx_call_box" not in decoder:
        for p in udp_ports_of(pid):
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                s.sendto(configure("VP8LP", "GD18", decoder["id"]), ("127.0.0.1", p))
    else:
        desktop.x("windowfocus", "--sync", main_window)
        for box, value in (("dx_call_box", "VP8LP"), ("dx_grid_box", "GD18")):
            desktop.x("mousemove", "--window", main_window, *decoder[box], "click", "1")
            desktop.x("key", "ctrl+a")
            desktop.x("type", "--delay", "4", "--", value)
            desktop.x("key", "Tab")
        desktop.x("mousemove", 1599, 999)
    time.sleep(1.0)


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


def main():
    program, source = sys.argv[1], sys.argv[2]
    decoder = PROGRAMS[sys.argv[3] if len(sys.argv) > 3 else "wsjtx"]
    missing = [p for p in NEEDED + [decoder["exe"]] if not shutil.which(p)]
    if missing:
        print("skipped: %s not installed (scripts/install-deps installs them)" % ", ".join(missing))
        return SKIP
    work = tempfile.mkdtemp(prefix="vel_wsjtx_e2e_")
    data = os.path.join(work, "vel")
    os.makedirs(data)
    for name in ("Prefixe_DXCC.txt", "Entites_DXCC.txt", "Exceptions_DXCC.txt"):
        shutil.copy(os.path.join(source, "data", name), data)
    # Japan confirmed in FT8 on 20 m: JA1XYZ brings nothing; the Falklands are new.
    with open(os.path.join(data, "F6XYZ_DXCC.log"), "wb") as f:
        f.write(record(["JA1AAA", "", "01/01/24", "10:00", "FT8", "14 Mhz", "-5", "-7", "JA",
                        "Japan", "*"]).encode("cp1252") + b"\r\n")
    wav = os.path.join(work, "250101_120000.wav")  # decodes stamped 12:00:00
    make_wav(wav, work)
    port = free_port()
    desktop = Desktop(work)
    os.makedirs(os.path.join(work, "config"), exist_ok=True)
    with open(os.path.join(work, "config", decoder["ini"]), "w") as f:
        f.write(decoder["settings"] % port)
    tz = "Asia/Tokyo"
    command = subprocess.Popen([program, "wsjtx", "--log", "--listen", "127.0.0.1:%d" % port,
                                "--station", "F6XYZ", "--data-dir", data],
                               stdout=subprocess.PIPE, stderr=open(work + "/vel.stderr", "w"),
                               env=dict(desktop.env(tz), QT_QPA_PLATFORM="offscreen"))
    lines = Lines(command)
    # Tooltips would be windows of their own: the pointer waits in a corner.
    desktop.x("mousemove", 1599, 999)
    wsjtx = subprocess.Popen([decoder["exe"]], env=desktop.env(tz), cwd=work,
                             stdout=subprocess.DEVNULL, stderr=open(work + "/wsjtx.stderr", "w"),
                             start_new_session=True)
    started = time.monotonic()
    try:
        main_window = desktop.window(decoder["main"], timeout=60)
        if not main_window:
            fail("%s's main window did not appear" % decoder["id"])
        print(decoder["id"] + " up after %.1f s" % (time.monotonic() - started), flush=True)
        desktop.x("windowfocus", "--sync", main_window)
        desktop.x("key", "ctrl+o")
        dialog = desktop.window("^Open File$")
        if not dialog:
            fail("no Open File dialog")
        desktop.x("windowfocus", "--sync", dialog)
        desktop.x("type", "--delay", "4", "--", wav)
        desktop.x("key", "Return")
        t0 = time.monotonic()
        if not lines.wait(lambda ls: sum("\tVP8LP\t" in l or "\tJA1XYZ\t" in l for l in ls) >= 2,
                          90):
            fail("decodes not printed: %r" % lines.lines)
        print("decodes printed %.1f s after the file was opened" % (time.monotonic() - t0))
        if os.environ.get("VEL_E2E_SHOT"):
            subprocess.run(["import", "-window", "root", os.environ["VEL_E2E_SHOT"]],
                           env=desktop.env("UTC"), timeout=30)
        decodes = {l.split("\t")[4]: l.split("\t") for l in lines.lines if l.count("\t") == 10}
        vp8, ja = decodes.get("VP8LP"), decodes.get("JA1XYZ")
        if not vp8 or vp8[0] != "120000" or vp8[2:4] != ["14 Mhz", "FT8"] or \
                vp8[5:] != ["GD18", "VP8", "Falkland Islands", "N", "N", "N"]:
            fail("VP8LP line: %r" % vp8)
        if not ja or ja[5:] != ["PM95", "JA", "Japan", "C", "C", "C"]:
            fail("JA1XYZ line: %r" % ja)

        # A contact with VP8LP logged in the program.
        set_dx_call(desktop, decoder, main_window, wsjtx.pid)
        before = datetime.datetime.now(datetime.timezone.utc)
        desktop.x("windowfocus", "--sync", main_window)
        desktop.x("key", "alt+q")
        log_dialog = desktop.window(r" Log QSO$")
        if not log_dialog:
            fail("no Log QSO dialog")
        desktop.x("mousemove", "--window", log_dialog, *decoder["dialog_ok_click"], "click", "1")
        desktop.x("mousemove", 1599, 999)
        desktop.x("key", "End", "Return")
        if not lines.wait(lambda ls: any(l.startswith("QSO enregistré") for l in ls), 30):
            fail("logged contact not printed: %r" % lines.lines)
        after = datetime.datetime.now(datetime.timezone.utc)
        # Both messages arrived (QSO Logged, Logged ADIF): one line in the log.
        time.sleep(2.0)
        with open(os.path.join(data, "F6XYZ_DXCC.log"), "rb") as f:
            log_lines = [l for l in f.read().decode("cp1252").split("\r\n") if "VP8LP" in l]
        if len(log_lines) != 1:
            fail("VP8LP lines in the log: %r" % log_lines)
        logged = datetime.datetime.strptime(log_lines[0][29:37] + " " + log_lines[0][38:43],
                                            "%d/%m/%y %H:%M").replace(
                                                tzinfo=datetime.timezone.utc)
        if not (before - datetime.timedelta(minutes=3) <= logged <=
                after + datetime.timedelta(minutes=1)):
            fail("logged at %s, not UTC between %s and %s" % (logged, before, after))
        print("logged: %s" % log_lines[0].rstrip())
        print("PASSED in %.1f s" % (time.monotonic() - started))
        return 0
    finally:
        # Asked to quit cleanly (a signal would leave its decoder behind):
        # WSJT-X by a Close message, JTDX (which ignores it) by Alt+F4.
        if wsjtx.poll() is None:
            if decoder["exe"] == "jtdx":
                desktop.x("windowfocus", "--sync", main_window)
                desktop.x("key", "alt+F4")
            for p in udp_ports_of(wsjtx.pid):
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                    s.sendto(struct.pack(">III", 0xADBCCBDA, 2, 6) +
                             struct.pack(">I", len(decoder["id"])) + decoder["id"].encode(),
                             ("127.0.0.1", p))
        try:
            wsjtx.wait(15)
        except subprocess.TimeoutExpired:
            pass
        try:
            if wsjtx.poll() is None:
                os.killpg(wsjtx.pid, signal.SIGTERM)
                wsjtx.wait(10)
        except (OSError, subprocess.TimeoutExpired):
            os.killpg(wsjtx.pid, signal.SIGKILL)
        if command.poll() is None:
            command.send_signal(signal.SIGTERM)
            command.wait(10)
        desktop.close()
        if os.environ.get("VEL_KEEP_E2E") is None:
            shutil.rmtree(work, ignore_errors=True)
        else:
            print("kept", work)


if __name__ == "__main__":
    sys.exit(main())
