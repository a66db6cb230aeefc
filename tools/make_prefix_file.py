#!/usr/bin/env python3
"""Builds the initial prefix file data/Prefixe_DXCC.txt and exact-call file
data/Exceptions_DXCC.txt from the amateur country files.

usage: tools/make_prefix_file.py [--cty-dir DIR] [--output FILE] [--exact-output FILE]

DIR holds cty.dat and cty.csv (default /usr/share/hamradio-files, from Debian's
hamradio-files package). Run it when the country files are updated, then commit the
output; the build and the tests only ever read the committed files.

The prefix file has one 49-column entry per callsign prefix of every DXCC entity: the
entity's main prefix and every alias that is no whole callsign, zone and other
overrides stripped, where it fits the 6-column prefix field and holds no "/". The
exact-call file has one 55-column line per whole-callsign alias ("=" in the country
files), "/" included, up to the 12 characters of a logged callsign; longer ones are
counted and left out. Entities that count only for other awards ("*" before the main
prefix) are folded into the DXCC entity with the same entity number in cty.csv. Output
is Windows-1252 with CR LF, in the editor's sorted order, and the same input always
gives the same bytes.
"""

import argparse
import csv
import re
import sys
from pathlib import Path

PREFIX_WIDTH = 6
CALLSIGN_WIDTH = 12
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


# How firmly a text belongs to an entity as a prefix, strongest first: an alias of
# the entity, or only its main prefix (a label in the country files, such as CE9 for
# Antarctica while CE9 calls are South Shetlands).
ALIAS, MAIN_PREFIX = 0, 1


def alias_of(token):
    """(text, whole callsign?) for an alias token, or None when it can be neither."""
    text = OVERRIDES.sub("", token).upper()
    whole = text.startswith("=")
    if whole:
        text = text[1:]
    if not text:
        return None
    # A blank or an unseen character belongs to no callsign.
    if any(ord(c) <= 0x20 or ord(c) == 0x7F or 0x80 <= ord(c) <= 0x9F for c in text):
        return None
    return text, whole


def fits_prefix_column(text):
    return len(text) <= PREFIX_WIDTH and "/" not in text


def collect_claims(dat_aliases, csv_entities, homes):
    """The prefixes {text: {home: strength}}, exact calls {call: {home}} and the
    set of exact calls too long for a logged callsign, over all entities."""
    prefixes, exact, too_long = {}, {}, set()
    for main, (_, number, csv_aliases) in sorted(csv_entities.items()):
        if number not in homes:
            sys.exit(f"{main}: no DXCC entity numbered {number}")
        home = homes[number]
        claims = []
        for alias in filter(None, map(alias_of, csv_aliases + dat_aliases[main])):
            text, whole = alias
            if not whole:
                if fits_prefix_column(text):
                    claims.append((text, ALIAS))
            elif len(text) > CALLSIGN_WIDTH:
                too_long.add(text)
            else:
                exact.setdefault(text, set()).add(home)
        main_alias = alias_of(main.lstrip("*"))
        if main_alias is not None and not main_alias[1] and fits_prefix_column(main_alias[0]):
            claims.append((main_alias[0], MAIN_PREFIX))
        for text, strength in claims:
            targets = prefixes.setdefault(text, {})
            targets[home] = min(targets.get(home, MAIN_PREFIX), strength)
    return prefixes, exact, too_long


def drop_labels_inside_other_prefixes(prefixes):
    """A main prefix that no alias names is a label of the country files (VK0M for
    Macquarie, whose stations are all exact calls, while VK0 calls are Antarctica):
    kept only where no other entity's alias begins it, so it takes no calls."""
    def alias_of_another_begins(text, claimants):
        for length in range(1, len(text)):
            for home, strength in prefixes.get(text[:length], {}).items():
                if strength == ALIAS and home not in claimants:
                    return True
        return False
    labels = [text for text, targets in prefixes.items()
              if all(s == MAIN_PREFIX for s in targets.values())
              and alias_of_another_begins(text, targets)]
    for text in labels:
        del prefixes[text]
    return prefixes


def resolve_conflicts(found):
    """Keeps one entity per callsign prefix where the country files disagree.

    The strongest claim wins; among equals the entity that sorts first is kept, as
    the lookup would pick it anyway.
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


def exact_lines(exact):
    """One line per exact call; where entities share one, the line that sorts first."""
    lines = []
    for call, targets in sorted(exact.items()):
        candidates = sorted((exact_line(call, *home) for home in targets), key=editor_order)
        if len(candidates) > 1:
            print(f"warning: {call} belongs to several entities", file=sys.stderr)
        lines.append(candidates[0])
    return sorted(lines, key=editor_order)


def entry_line(prefix, name, dxcc):
    return f"{prefix:<{PREFIX_WIDTH}} {name:<{NAME_WIDTH}} {dxcc:<{DXCC_WIDTH}} /"


def exact_line(call, name, dxcc):
    return f"{call:<{CALLSIGN_WIDTH}} {name:<{NAME_WIDTH}} {dxcc:<{DXCC_WIDTH}} /"


def write_lines(path, lines):
    content = "".join(line + "\r\n" for line in lines)
    path.write_bytes(content.encode("cp1252", errors="replace"))


def editor_order(line):
    # Case-insensitive, blank before digit before letter: byte order of the upper case.
    return (line.upper().encode("cp1252", "replace"), line.encode("cp1252", "replace"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cty-dir", type=Path, default=Path("/usr/share/hamradio-files"))
    parser.add_argument("--output", type=Path, default=REPO_ROOT / "data" / "Prefixe_DXCC.txt")
    parser.add_argument("--exact-output", type=Path,
                        default=REPO_ROOT / "data" / "Exceptions_DXCC.txt")
    args = parser.parse_args()

    dat_aliases = read_cty_dat(args.cty_dir / "cty.dat")
    csv_entities = read_cty_csv(args.cty_dir / "cty.csv")
    if set(dat_aliases) != set(csv_entities):
        sys.exit("cty.dat and cty.csv do not list the same entities")

    homes = dxcc_entities(csv_entities)
    prefixes, exact, too_long = collect_claims(dat_aliases, csv_entities, homes)
    chosen = resolve_conflicts(drop_labels_inside_other_prefixes(prefixes))
    lines = sorted((entry_line(p, n, d) for p, (n, d) in chosen.items()), key=editor_order)
    write_lines(args.output, lines)
    dxcc_prefixes = {dxcc for _, dxcc in chosen.values()}
    print(f"{args.output}: {len(lines)} entries, {len(dxcc_prefixes)} DXCC entities")
    calls = exact_lines(exact)
    write_lines(args.exact_output, calls)
    print(f"{args.exact_output}: {len(calls)} exact calls, {len(too_long)} longer than "
          f"{CALLSIGN_WIDTH} characters left out")


if __name__ == "__main__":
    main()
