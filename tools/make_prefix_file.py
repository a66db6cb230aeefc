#!/usr/bin/env python3
"""Builds the initial prefix file data/Prefixe_DXCC.txt from the amateur country files.

usage: tools/make_prefix_file.py [--cty-dir DIR] [--output FILE]

DIR holds cty.dat and cty.csv (default /usr/share/hamradio-files, from Debian's
hamradio-files package). Run it when the country files are updated, then commit the
output; the build and the tests only ever read the committed file.

One 49-column entry per callsign prefix of every DXCC entity: the entity's main
prefix and every alias, zone and other overrides stripped. Whole-callsign aliases
("=" in the country files) are kept when they fit the 6-column prefix field, hold
no "/", and change the answer of the lookup; see whole_callsigns_worth_keeping for the
few left out. Entities that count only for other awards ("*" before the main prefix) are
folded into the DXCC entity with the same entity number in cty.csv. Output is
Windows-1252 with CR LF, in the editor's sorted order, and the same input always
gives the same bytes.
"""

import argparse
import csv
import re
import sys
from pathlib import Path

PREFIX_WIDTH = 6
NAME_WIDTH = 33
DXCC_WIDTH = 6

# Zone, position, continent and time-offset overrides that follow an alias.
OVERRIDES = re.compile(r"\(.*?\)|\[.*?\]|<.*?>|\{.*?\}|~.*?~")

# Applied in turn, only while a name is longer than the entity-name column.
ABBREVIATIONS = [
    (" and ", " & "),
    ("Islands", "Is."),
    ("Island", "I."),
    ("Saint", "St."),
    ("Republic", "Rep."),
    ("North", "N."),
    ("South", "S."),
]

REPO_ROOT = Path(__file__).resolve().parent.parent


def read_cty_dat(path):
    """Main prefix -> alias tokens, as written in cty.dat."""
    aliases = {}
    text = path.read_text(encoding="latin-1")
    for record in text.split(";"):
        record = record.strip()
        if not record:
            continue
        header, _, body = record.partition("\n")
        fields = [f.strip() for f in header.split(":")]
        if len(fields) < 8:
            sys.exit(f"{path}: unexpected entity line: {header!r}")
        tokens = [t.strip() for t in body.replace("\n", " ").split(",")]
        aliases[fields[7]] = [t for t in tokens if t]
    return aliases


def read_cty_csv(path):
    """Main prefix -> (English name, DXCC entity number, alias tokens)."""
    entities = {}
    with path.open(encoding="latin-1", newline="") as f:
        for row in csv.reader(f):
            if not row:
                continue
            main, name, number = row[0], row[1], row[2]
            entities[main] = (name, number, row[9].rstrip(";").split())
    return entities


def abbreviate(name):
    for long, short in ABBREVIATIONS:
        if len(name) <= NAME_WIDTH:
            break
        name = name.replace(long, short)
    return name[:NAME_WIDTH].rstrip()


def dxcc_entities(csv_entities):
    """DXCC entity number -> (name, DXCC prefix) for the entities that count for DXCC."""
    folded = {number for main, (_, number, _) in csv_entities.items() if main.startswith("*")}
    homes = {}
    for main, (name, number, _) in csv_entities.items():
        if main.startswith("*"):
            continue
        if number in folded:
            # It now stands for its other-award part too: Asiatic Turkey is Turkey.
            name = re.sub(r"^(Asiatic|European) ", "", name)
        homes[number] = (abbreviate(name), main.upper())
    names = [name for name, _ in homes.values()]
    if len(set(names)) != len(names):
        sys.exit("entity names are no longer unique after abbreviation")
    return homes


# How firmly a text belongs to an entity, strongest first: an alias prefix of the
# entity, one of its whole callsigns, or only its main prefix (a label in the
# country files, such as CE9 for Antarctica while CE9 calls are South Shetlands).
ALIAS, WHOLE_CALLSIGN, MAIN_PREFIX = 0, 1, 2


def callsign_prefix(token):
    """(prefix, strength) for an alias token, or None when it cannot be an entry."""
    text = OVERRIDES.sub("", token).upper()
    strength = ALIAS
    if text.startswith("="):
        text, strength = text[1:], WHOLE_CALLSIGN
    if not text or len(text) > PREFIX_WIDTH or "/" in text:
        return None
    return text, strength


def collect_prefixes(dat_aliases, csv_entities, homes):
    """Callsign prefix -> {(name, dxcc prefix): strength} over all entities."""
    found = {}
    for main, (_, number, csv_aliases) in sorted(csv_entities.items()):
        if number not in homes:
            sys.exit(f"{main}: no DXCC entity numbered {number}")
        claims = [callsign_prefix(t) for t in csv_aliases + dat_aliases[main]]
        main_prefix = callsign_prefix(main.lstrip("*"))
        if main_prefix is not None:
            claims.append((main_prefix[0], MAIN_PREFIX))
        for text, strength in filter(None, claims):
            targets = found.setdefault(text, {})
            home = homes[number]
            targets[home] = min(targets.get(home, MAIN_PREFIX), strength)
    return found


def resolve_conflicts(found):
    """Keeps one entity per callsign prefix where the country files disagree.

    The strongest claim wins; a prefix beats a whole callsign of the same text
    since it stands for every call that begins with it. Among equals the entity
    that sorts first is kept, as the lookup would pick it anyway.
    """
    chosen = {}
    for text, targets in sorted(found.items()):
        strongest = min(targets.values())
        first = lambda home: editor_order(entry_line(text, *home))
        candidates = sorted((h for h, s in targets.items() if s == strongest), key=first)
        if len(candidates) > 1:
            names = ", ".join(name for name, _ in candidates)
            print(f"warning: {text} belongs to several entities ({names})", file=sys.stderr)
        chosen[text] = candidates[0]
    return chosen


def longest_match(call, entries):
    for length in range(min(len(call), PREFIX_WIDTH), 0, -1):
        if call[:length] in entries:
            return entries[call[:length]]
    return None


def whole_callsigns_worth_keeping(found, chosen):
    """Drops the whole callsigns that would make the lookup worse.

    The prefix file knows no "this callsign only": a whole callsign stands for every
    call that begins with it. One that the prefixes already resolve to its entity
    adds nothing; a short one that resolves elsewhere would capture whole blocks of
    ordinary calls (N0J would make every N0Jxx a Mariana Islands contact), so it is
    kept only for an entity that has no prefix of its own (3Y0X, Peter 1 Island).
    """
    strength = {text: targets[chosen[text]] for text, targets in found.items()}
    prefixes = {t: home for t, home in chosen.items() if strength[t] != WHOLE_CALLSIGN}
    homes_with_prefix = set(prefixes.values())
    kept = dict(prefixes)
    for text, home in chosen.items():
        if strength[text] != WHOLE_CALLSIGN or longest_match(text, prefixes) == home:
            continue
        if len(text) >= 5 or home not in homes_with_prefix:
            kept[text] = home
    return kept


def entry_line(prefix, name, dxcc):
    return f"{prefix:<{PREFIX_WIDTH}} {name:<{NAME_WIDTH}} {dxcc:<{DXCC_WIDTH}} /"


def editor_order(line):
    # Case-insensitive, blank before digit before letter: byte order of the upper case.
    return (line.upper().encode("cp1252", "replace"), line.encode("cp1252", "replace"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cty-dir", type=Path, default=Path("/usr/share/hamradio-files"))
    parser.add_argument("--output", type=Path, default=REPO_ROOT / "data" / "Prefixe_DXCC.txt")
    args = parser.parse_args()

    dat_aliases = read_cty_dat(args.cty_dir / "cty.dat")
    csv_entities = read_cty_csv(args.cty_dir / "cty.csv")
    if set(dat_aliases) != set(csv_entities):
        sys.exit("cty.dat and cty.csv do not list the same entities")

    homes = dxcc_entities(csv_entities)
    found = collect_prefixes(dat_aliases, csv_entities, homes)
    chosen = whole_callsigns_worth_keeping(found, resolve_conflicts(found))
    lines = sorted((entry_line(p, n, d) for p, (n, d) in chosen.items()), key=editor_order)

    content = "".join(line + "\r\n" for line in lines)
    args.output.write_bytes(content.encode("cp1252", errors="replace"))
    dxcc_prefixes = {dxcc for _, dxcc in chosen.values()}
    print(f"{args.output}: {len(lines)} entries, {len(dxcc_prefixes)} DXCC entities")


if __name__ == "__main__":
    main()
