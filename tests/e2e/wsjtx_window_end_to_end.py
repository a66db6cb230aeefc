#!/usr/bin/env python3
"""The real WSJT-X (or JTDX) and the program's own window "Trafic numérique
(WSJT-X)", side by side under Xvfb: the decodes of an FT8 file made by ft8sim
appear in the window with their statuses and colours, the colour of a new
entity reaches the decoder's band activity (WSJT-X; JTDX shows no
highlights), a row double-clicked makes the decoder call that station, the
contact logged there ("Log QSO", OK) lands in the log once, with its UTC
date and time in a time zone far from UTC, and is told in the main window,
and our colours leave the decoder when the program quits. The window is
read through the accessibility bus, as a screen reader reads it, and its
colours from the screen.

usage: wsjtx_window_end_to_end.py VEL_DXCC SOURCE_DIR [wsjtx|jtdx]
Exits 77 (skipped) with the reason printed when a program it needs is missing.
Screenshots go to the folder $VEL_E2E_SHOTS when it is set.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

import accessible
from decoder_desktop import (STATION, TIME_ZONE, Decoder, Desktop, check_logged_once_in_utc,
                             decoder_named, fail, free_port, logged_lines, make_decodable_file,
                             poll, remove_unless_kept, seed_data_folder, skip,
                             skip_unless_installed, utc_now)

# The cluster window's palette, which the window and the highlights share.
NEW_ENTITY = (0xFF, 0x8C, 0x8C)
CONFIRMED = (0x9B, 0xE0, 0x9B)
TO_CONFIRM = (0xFF, 0xE0, 0x80)
WINDOW_TITLE = "Trafic numérique (WSJT-X)"
WINDOW_TITLE_RE = r"^Trafic numérique \(WSJT-X\)$"
MAIN_TITLE = r"VEL_DXCC\s+Revision"
SCREEN = "2400x1400"
# Columns of the window's list.
TIME, MESSAGE, CALLSIGN, ENTITY, CONTINENT, ENTITY_STATUS = 0, 4, 5, 6, 7, 10


def seed_program(work, data, source, port):
    """The data folder and settings a previous run would have left: the
    station F6XYZ in JN18, the link on our port."""
    seed_data_folder(data, source)
    os.makedirs(os.path.join(work, "config", "VEL_DXCC"), exist_ok=True)
    with open(os.path.join(work, "config", "VEL_DXCC", "DXCC.ini"), "w") as f:
        f.write("[Setup%%20]\nIndicatif%%20Station=%s\nWSJTX%%20Adresse=127.0.0.1\n"
                "WSJTX%%20Port=%d\n\n[Setup%%20%s]\nbande%%20Utilisee=4\nMode%%20Utilise=3\n"
                "Date%%20Auto=Oui\nLocator=JN18\n" % (STATION, port, STATION))


class Shots:
    def __init__(self, desktop, program):
        self.desktop, self.folder = desktop, os.environ.get("VEL_E2E_SHOTS")
        self.prefix = program["exe"]

    def take(self, name):
        if self.folder:
            os.makedirs(self.folder, exist_ok=True)
            path = os.path.join(self.folder, "digital_window_%s_%s.png" % (self.prefix, name))
            self.desktop.screenshot(path)
            print("screenshot:", path)


def place_side_by_side(desktop, decoder_window):
    """Our windows to the right of the decoder's, none over another (there
    is no window manager to place them)."""
    x, y, w, h = desktop.geometry(decoder_window)
    left = x + w + 20
    ours = desktop.window(WINDOW_TITLE_RE)
    main = desktop.window(MAIN_TITLE)
    desktop.x("windowmove", ours, left, 0)
    _, _, _, our_height = desktop.geometry(ours)
    desktop.x("windowmove", main, left, our_height + 40)


def rows_by_callsign(program, table):
    return {r[CALLSIGN]: r for r in program.table_rows(table)}


def choose_row(desktop, program, table, callsign):
    """The row of `callsign` double-clicked, as the operator does."""
    row = next(i for i, r in enumerate(program.table_rows(table)) if r[CALLSIGN] == callsign)
    x, y, w, h = program.extents(program.cell(table, row, CALLSIGN))
    desktop.x("mousemove", x + w // 2, y + h // 2)
    desktop.x("click", "--repeat", "2", "--delay", "80", "1")
    desktop.pointer_to_corner()


def check_decodes(rows):
    vp8, ja = rows.get("VP8LP"), rows.get("JA1XYZ")
    expected = {"VP8LP": ["CQ VP8LP GD18", "Falkland Islands", "SA", "N", "N", "N"],
                "JA1XYZ": ["CQ JA1XYZ PM95", "Japan", "AS", "C", "C", "C"]}
    for call, row in (("VP8LP", vp8), ("JA1XYZ", ja)):
        seen = row and [row[MESSAGE], row[ENTITY], row[CONTINENT]] + row[ENTITY_STATUS:]
        if not row or row[TIME] != "12:00:00" or seen != expected[call]:
            fail("%s row: %r" % (call, row))


def check_row_colours(desktop, program, table):
    """Each row's background, read on the screen beside its status letter."""
    expected = {"VP8LP": NEW_ENTITY, "JA1XYZ": CONFIRMED}
    picture = desktop.grab()
    for row, cells in enumerate(program.table_rows(table)):
        if cells[CALLSIGN] not in expected:
            continue
        x, y, w, h = program.extents(program.cell(table, row, ENTITY_STATUS))
        colour = picture.pixel(x + 3, y + h // 2)
        if colour != expected[cells[CALLSIGN]]:
            fail("%s row shown in %r, not %r" % (cells[CALLSIGN], colour,
                                                   expected[cells[CALLSIGN]]))


def check_highlight(desktop, decoder_window, colour):
    """VP8LP in the decoder's band activity, in the colour we sent: a box
    about one callsign wide and one line high, and no other colour of ours."""
    rect = desktop.geometry(decoder_window)
    others = [c for c in (NEW_ENTITY, TO_CONFIRM) if c != colour]

    def highlighted():
        picture = desktop.grab()
        box = picture.box_of(colour, rect)
        if any(picture.box_of(c, rect) for c in others):
            return None
        return box if box and 20 <= box[2] <= 120 and 8 <= box[3] <= 30 else None
    box = poll(highlighted, 10, step=0.5)
    if not box:
        fail("VP8LP not highlighted in %r in the decoder's window (%r)"
             % (colour, desktop.grab().box_of(colour, rect)))
    print("highlight %r in the decoder at %r" % (colour, box))


def open_our_window(reader, port):
    """"Outils" → "Trafic numérique (WSJT-X)": the window, listening on our
    port; its list of decodes and the main window."""
    main_window = reader.window(MAIN_TITLE, 60)
    if not main_window:
        fail("our main window not seen on the accessibility bus")
    if not reader.menu(main_window, "Outils", WINDOW_TITLE):
        fail("no menu Outils → " + WINDOW_TITLE)
    window = reader.window(WINDOW_TITLE_RE, 20)
    if not window:
        fail("our window did not open")
    listening = "WSJT-X : écoute sur 127.0.0.1:%d" % port
    if not reader.find(window, "label", listening):
        fail("not listening: %r" % [d.get_name() for d in reader.descendants(window)
                                     if d.get_role_name() == "label"])
    return main_window, reader.find(window, "table")


def wait_decodes(reader, table):
    def both_shown():
        rows = rows_by_callsign(reader, table)
        return rows if "VP8LP" in rows and "JA1XYZ" in rows else None
    t0 = time.monotonic()
    rows = accessible.wait_for(both_shown, 60)
    if not rows:
        fail("decodes not shown: %r" % reader.table_rows(table))
    print("decodes shown %.1f s after the file was opened" % (time.monotonic() - t0))
    return rows


def check_contact_told(reader, main_window):
    """The status bar tells the contact; the main list shows it."""
    def told():
        text = reader.status_message(main_window)
        return text if text.startswith("QSO enregistré depuis WSJT-X : VP8LP,") else None
    text = accessible.wait_for(told, 30)
    if not text:
        fail("contact not told: %r" % reader.status_message(main_window))
    print("told:", text)
    main_list = reader.find(main_window, "list")
    if not main_list or not any("VP8LP" in (main_list.get_child_at_index(i).get_name() or "")
                                for i in range(main_list.get_child_count())):
        fail("VP8LP not in the main list")


def check_quit_clears(desktop, reader, main_window, ours, decoder_window):
    """"Quitter VEL_DXCC": our colours leave the decoder's window."""
    reader.menu(main_window, "Fichiers", "Quitter VEL_DXCC")
    if not poll(lambda: ours.poll() is not None, 20):
        fail("the program did not quit")
    rect = desktop.geometry(decoder_window)
    if not poll(lambda: not desktop.grab().box_of(TO_CONFIRM, rect), 10, step=0.5):
        fail("the highlight stayed after the program quit")


def run(desktop, reader, ours, decoder_program, port, wav, data, shots):
    main_window, table = open_our_window(reader, port)
    decoder = Decoder(desktop, decoder_program, port, TIME_ZONE)
    try:
        decoder_window = decoder.wait_main_window()
        place_side_by_side(desktop, decoder_window)
        decoder.open_file(wav)
        check_decodes(wait_decodes(reader, table))
        check_row_colours(desktop, reader, table)
        highlights = decoder_program["shows_highlights"]
        if highlights:
            check_highlight(desktop, decoder_window, NEW_ENTITY)
        shots.take("decodes")

        # VP8LP double-clicked in our window: the decoder calls it, and the
        # contact logged there ("Log QSO", OK) is with VP8LP only if our
        # reply reached it.
        before = utc_now()
        choose_row(desktop, reader, table, "VP8LP")
        decoder.log_qso()
        check_contact_told(reader, main_window)
        after = utc_now()
        if highlights:
            # Worked now, not confirmed: the highlight follows.
            check_highlight(desktop, decoder_window, TO_CONFIRM)
        shots.take("logged")
        # WSJT-X sends it twice (QSO Logged, Logged ADIF): a second line
        # would come within moments.
        if poll(lambda: len(logged_lines(data, "VP8LP")) > 1, 2.0):
            fail("logged twice: %r" % logged_lines(data, "VP8LP"))
        check_logged_once_in_utc(data, "VP8LP", before, after)
        if highlights:
            check_quit_clears(desktop, reader, main_window, ours, decoder_window)
        print("PASSED in %.1f s" % (time.monotonic() - decoder.started))
    finally:
        decoder.stop()


def main():
    accessible.ensure_interpreter()
    program_path, source = os.path.abspath(sys.argv[1]), sys.argv[2]
    decoder_program = decoder_named(sys.argv, 3)
    skip_unless_installed(decoder_program)
    reason = accessible.missing_reason()
    if reason:
        skip(reason)
    work = tempfile.mkdtemp(prefix="vel_wsjtx_window_e2e_")
    data = os.path.join(work, "data", "VEL_DXCC")
    port = free_port()
    seed_program(work, data, source, port)
    wav = make_decodable_file(work)
    desktop = Desktop(work, SCREEN)
    bus = accessible.Bus(desktop.display, work)
    env = dict(desktop.env(TIME_ZONE), **bus.env)
    del env["NO_AT_BRIDGE"]  # Qt too would keep off the accessibility bus
    ours = subprocess.Popen([program_path], env=env, cwd=work,
                            stdout=open(work + "/vel.out", "w"), stderr=subprocess.STDOUT)
    shots = Shots(desktop, decoder_program)
    try:
        run(desktop, accessible.Program(bus, ours.pid), ours, decoder_program, port, wav, data,
            shots)
        return 0
    except SystemExit:
        shots.take("failed")
        raise
    finally:
        if ours.poll() is None:
            ours.send_signal(signal.SIGTERM)
            try:
                ours.wait(10)
            except subprocess.TimeoutExpired:
                ours.kill()
        bus.close()
        desktop.close()
        remove_unless_kept(work)


if __name__ == "__main__":
    sys.exit(main())
