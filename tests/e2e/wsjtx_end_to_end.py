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
import os
import select
import signal
import subprocess
import sys
import tempfile
import time

from decoder_desktop import (STATION, TIME_ZONE, Decoder, Desktop, check_logged_once_in_utc,
                             decoder_named, fail, free_port, make_decodable_file,
                             remove_unless_kept, seed_data_folder, skip_unless_installed,
                             utc_now)


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


def main():
    program, source = sys.argv[1], sys.argv[2]
    decoder_program = decoder_named(sys.argv, 3)
    skip_unless_installed(decoder_program)
    work = tempfile.mkdtemp(prefix="vel_wsjtx_e2e_")
    data = os.path.join(work, "vel")
    seed_data_folder(data, source)
    wav = make_decodable_file(work)
    port = free_port()
    desktop = Desktop(work)
    command = subprocess.Popen([program, "wsjtx", "--log", "--listen", "127.0.0.1:%d" % port,
                                "--station", STATION, "--data-dir", data],
                               stdout=subprocess.PIPE, stderr=open(work + "/vel.stderr", "w"),
                               env=dict(desktop.env(TIME_ZONE), QT_QPA_PLATFORM="offscreen"))
    lines = Lines(command)
    decoder = Decoder(desktop, decoder_program, port, TIME_ZONE)
    try:
        decoder.wait_main_window()
        decoder.open_file(wav)
        t0 = time.monotonic()
        if not lines.wait(lambda ls: sum("\tVP8LP\t" in l or "\tJA1XYZ\t" in l for l in ls) >= 2,
                          90):
            fail("decodes not printed: %r" % lines.lines)
        print("decodes printed %.1f s after the file was opened" % (time.monotonic() - t0))
        if os.environ.get("VEL_E2E_SHOT"):
            desktop.screenshot(os.environ["VEL_E2E_SHOT"])
        decodes = {l.split("\t")[4]: l.split("\t") for l in lines.lines if l.count("\t") == 10}
        vp8, ja = decodes.get("VP8LP"), decodes.get("JA1XYZ")
        if not vp8 or vp8[0] != "120000" or vp8[2:4] != ["14 Mhz", "FT8"] or \
                vp8[5:] != ["GD18", "VP8", "Falkland Islands", "N", "N", "N"]:
            fail("VP8LP line: %r" % vp8)
        if not ja or ja[5:] != ["PM95", "JA", "Japan", "C", "C", "C"]:
            fail("JA1XYZ line: %r" % ja)

        # A contact with VP8LP logged in the program.
        decoder.set_dx_call("VP8LP", "GD18")
        before = utc_now()
        decoder.log_qso()
        if not lines.wait(lambda ls: any(l.startswith("QSO enregistré") for l in ls), 30):
            fail("logged contact not printed: %r" % lines.lines)
        after = utc_now()
        # Both messages arrived (QSO Logged, Logged ADIF): one line in the log.
        time.sleep(2.0)
        check_logged_once_in_utc(data, "VP8LP", before, after)
        print("PASSED in %.1f s" % (time.monotonic() - decoder.started))
        return 0
    finally:
        decoder.stop()
        if command.poll() is None:
            command.send_signal(signal.SIGTERM)
            command.wait(10)
        desktop.close()
        remove_unless_kept(work)


if __name__ == "__main__":
    sys.exit(main())
