#!/usr/bin/env python3
"""Builds data/Entites_DXCC.txt, the position and zones of each DXCC entity, from the country files.

usage: tools/make_entity_file.py [--cty-dir DIR] [--output FILE]

DIR holds cty.csv (default /usr/share/hamradio-files, from Debian's hamradio-files
package). The entities and their DXCC prefixes are exactly those of the prefix file
(tools/make_prefix_file.py): one line for each, with tab-separated fields

    DXCC prefix, entity name, latitude, longitude, continent, CQ zone, ITU zone, UTC offset,
    ADIF entity number

Latitude is north positive; longitude is EAST positive and the UTC offset is local
time minus UTC, which is the opposite sign of both in the country files (there west
longitudes and offsets of zones behind UTC are positive). The ADIF entity number is
cty.csv's third column, which ADIF's DXCC field carries. Output is ASCII with CR LF,
sorted by prefix, preceded by '#' comment lines; the same input always gives the
same bytes.
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_prefix_file as prefixes  # noqa: E402

import csv  # noqa: E402


def read_positions(path):
    """Main prefix -> (continent, cq, itu, lat, lon east positive, utc offset)."""
    positions = {}
    with path.open(encoding="latin-1", newline="") as f:
        for row in csv.reader(f):
            if not row:
                continue
            main = row[0]
            continent, cq, itu = row[3], int(row[4]), int(row[5])
            lat, west_lon, behind_utc = float(row[6]), float(row[7]), float(row[8])
            positions[main] = (continent, cq, itu, lat, -west_lon, -behind_utc)
    return positions


def number(value):
    text = f"{value:.2f}"
    return "0.00" if text == "-0.00" else text


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cty-dir", type=Path, default=Path("/usr/share/hamradio-files"))
    parser.add_argument("--output", type=Path,
                        default=prefixes.REPO_ROOT / "data" / "Entites_DXCC.txt")
    args = parser.parse_args()

    csv_entities = prefixes.read_cty_csv(args.cty_dir / "cty.csv")
    homes = prefixes.dxcc_entities(csv_entities)
    positions = read_positions(args.cty_dir / "cty.csv")

    lines = []
    for main, (_, number_, _) in csv_entities.items():
        if main.startswith("*"):
            continue
        name, dxcc = homes[number_]
        continent, cq, itu, lat, lon, offset = positions[main]
        lines.append((dxcc, "\t".join([dxcc, name, number(lat), number(lon), continent,
                                       str(cq), str(itu), number(offset), str(int(number_))])))
    lines.sort(key=lambda item: (item[0].upper(), item[0]))

    header = [
        "# Entites_DXCC.txt: position, continent, CQ and ITU zones and UTC offset of each",
        "# DXCC entity, derived from the amateur radio country files (cty.csv) by",
        "# tools/make_entity_file.py; see Entites_DXCC.LICENSE.txt.",
        "# Fields (tab-separated): DXCC prefix, name, latitude (north +), longitude (east +),",
        "# continent, CQ zone, ITU zone, UTC offset in hours (local time minus UTC),",
        "# ADIF entity number (ADIF's DXCC field).",
    ]
    content = "".join(line + "\r\n" for line in header + [text for _, text in lines])
    args.output.write_bytes(content.encode("cp1252", errors="replace"))
    print(f"{args.output}: {len(lines)} entities")


if __name__ == "__main__":
    main()
