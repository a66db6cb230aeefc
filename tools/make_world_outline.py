#!/usr/bin/env python3
"""Builds the world map's coastlines data/world_outline.txt from Natural Earth.

usage: tools/make_world_outline.py [--rdata DIR] [--object NAME] [--output FILE]

DIR is the data folder of Debian's r-cran-rnaturalearthdata package (default
/usr/lib/R/site-library/rnaturalearthdata/data), which ships the Natural Earth
1:110m layers as an R lazy-load database. The package need not be installed:
`apt-get download r-cran-rnaturalearthdata && dpkg -x *.deb x` and point --rdata
at x/usr/lib/R/site-library/rnaturalearthdata/data. Run it when the data is
updated, then commit the output; the build only ever reads the committed file.

The database is read with a small reader of R's serialisation format (no R
needed). Every coordinate matrix of the chosen layer (coastline110: lines of
the coasts) becomes one line of the output:

    lon,lat lon,lat ...

in hundredths of a degree (integers), consecutive duplicates dropped. Lines
starting with "#" are comments. Same input, same bytes.
"""

import argparse
import bz2
import gzip
import lzma
import struct
import sys
import zlib
from pathlib import Path

DEFAULT_RDATA = "/usr/lib/R/site-library/rnaturalearthdata/data"


class RReader:
    """Reads R's XDR serialisation (format 2 or 3) into plain Python values.

    Vectors become lists, attributes are kept in a dict next to the value, S4
    objects become dicts of their slots. Enough for the sp classes of the
    Natural Earth layers; anything else raises."""

    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.refs = []

    def int(self):
        (v,) = struct.unpack_from(">i", self.data, self.pos)
        self.pos += 4
        return v

    def read(self):
        if self.data[:2] != b"X\n":
            raise ValueError("not an XDR serialisation")
        self.pos = 2
        version = self.int()
        self.int()  # writer's R version
        self.int()  # minimal R version
        if version == 3:
            n = self.int()
            self.pos += n  # native encoding name
        return self.item()

    def string(self):
        flags = self.int()
        if flags & 0xFF != 9:
            raise ValueError("CHARSXP expected")
        n = self.int()
        if n == -1:
            return None
        s = self.data[self.pos:self.pos + n].decode("utf-8", "replace")
        self.pos += n
        return s

    def item(self):
        flags = self.int()
        kind = flags & 0xFF
        has_attr = bool(flags & (1 << 9))
        has_tag = bool(flags & (1 << 10))
        if kind == 254 or kind == 242:  # NILVALUE, EMPTYENV
            return None
        if kind in (253, 252, 251, 250):  # global, unbound, missing, base env
            return None
        if kind == 255:  # REFSXP
            idx = flags >> 8
            if idx == 0:
                idx = self.int()
            return self.refs[idx - 1]
        if kind == 1:  # SYMSXP
            name = self.item()
            self.refs.append(name)
            return name
        if kind == 9:  # CHARSXP
            self.pos -= 4
            return self.string()
        if kind == 4:  # ENVSXP
            env = {}
            self.refs.append(env)
            self.int()  # locked
            self.item()  # enclosure
            frame = self.item()
            hashtab = self.item()
            attrs = self.item()
            env.update({"frame": frame, "hashtab": hashtab, "attrs": attrs})
            return env
        if kind in (2, 6, 17):  # LISTSXP, LANGSXP, ATTRLISTSXP: pairlists
            out = {}
            while True:
                attrs = self.item() if has_attr else None
                tag = self.item() if has_tag else None
                out[tag if tag is not None else len(out)] = self.item()
                nxt = self.int()
                self.pos -= 4
                if nxt & 0xFF != kind:
                    tail = self.item()
                    if tail is not None:
                        out["..."] = tail
                    del attrs
                    return out
                flags = self.int()
                has_attr = bool(flags & (1 << 9))
                has_tag = bool(flags & (1 << 10))
        if kind == 25:  # S4SXP: the object's slots are its attributes
            return self.attributes() if has_attr else {}
        if kind in (10, 13):  # LGLSXP, INTSXP
            n = self.length()
            v = list(struct.unpack_from(f">{n}i", self.data, self.pos))
            self.pos += 4 * n
        elif kind == 14:  # REALSXP
            n = self.length()
            v = list(struct.unpack_from(f">{n}d", self.data, self.pos))
            self.pos += 8 * n
        elif kind == 16:  # STRSXP
            v = [self.string() for _ in range(self.length())]
        elif kind in (19, 20):  # VECSXP, EXPRSXP
            v = [self.item() for _ in range(self.length())]
        elif kind == 24:  # RAWSXP
            n = self.length()
            v = self.data[self.pos:self.pos + n]
            self.pos += n
        else:
            raise ValueError(f"unsupported R type {kind} at {self.pos}")
        if has_attr:
            return {"value": v, "attributes": self.attributes()}
        return v

    def length(self):
        n = self.int()
        if n == -1:
            n = (self.int() << 32) | self.int()
        return n

    def attributes(self):
        a = self.item()
        return a if isinstance(a, dict) else {}


def unpack_chunk(blob):
    (size,) = struct.unpack_from(">I", blob, 0)
    body = blob[4:]
    if body[:1] == b"Z":
        # R writes a raw LZMA2 stream (no .xz container), preset 9e.
        return lzma.decompress(body[1:], format=lzma.FORMAT_RAW, filters=[
            {"id": lzma.FILTER_LZMA2, "preset": 9 | lzma.PRESET_EXTREME}])
    if body[:1] == b"2":
        return bz2.decompress(body[1:])
    if body[:1] == b"0":
        return body[1:]
    data = zlib.decompress(body)
    if len(data) != size:
        raise ValueError("corrupt chunk")
    return data


def plain(v):
    """The vector itself, without the attributes it may carry."""
    return v["value"] if isinstance(v, dict) and "value" in v else v


def load_object(rdata, name):
    index = RReader(gzip.decompress((rdata / "Rdata.rdx").read_bytes())).read()
    names = plain(index["attributes"]["names"])
    variables = index["value"][names.index("variables")]
    offset, length = plain(variables)[plain(variables["attributes"]["names"]).index(name)]
    with (rdata / "Rdata.rdb").open("rb") as f:
        f.seek(offset)
        return RReader(unpack_chunk(f.read(length))).read()


def coordinate_matrices(node, found):
    """Every n x 2 numeric matrix under `node`, in order; the bounding boxes
    (2 x 2, with row and column names) are not outlines."""
    if isinstance(node, dict):
        attrs = node.get("attributes")
        if isinstance(attrs, dict) and "dim" in attrs and "dimnames" not in attrs and \
                isinstance(node.get("value"), list):
            dim = plain(attrs["dim"])
            if isinstance(dim, list) and len(dim) == 2 and dim[1] == 2 and \
                    all(isinstance(x, float) for x in node["value"]):
                found.append((dim[0], node["value"]))
                return
        for v in node.values():
            coordinate_matrices(v, found)
    elif isinstance(node, list):
        for v in node:
            coordinate_matrices(v, found)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rdata", default=DEFAULT_RDATA)
    parser.add_argument("--object", default="coastline110")
    parser.add_argument("--output", default=str(Path(__file__).resolve().parent.parent
                                                / "data" / "world_outline.txt"))
    args = parser.parse_args()
    layer = load_object(Path(args.rdata), args.object)
    matrices = []
    coordinate_matrices(layer, matrices)
    if not matrices:
        sys.exit(f"{args.object}: no coordinates found")
    lines = [f"# Natural Earth {args.object}, public domain; "
             "lon,lat in hundredths of a degree, one line per outline"]
    points = 0
    for rows, values in matrices:
        pts = []
        for i in range(rows):
            p = (round(values[i] * 100), round(values[rows + i] * 100))
            if not pts or pts[-1] != p:
                pts.append(p)
        if len(pts) >= 2:
            points += len(pts)
            lines.append(" ".join(f"{x},{y}" for x, y in pts))
    Path(args.output).write_text("\n".join(lines) + "\n", encoding="ascii")
    print(f"{args.output}: {len(lines) - 1} outlines, {points} points")


if __name__ == "__main__":
    main()
