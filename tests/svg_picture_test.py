#!/usr/bin/env python3
"""--graph=svg: the document for "sen x" parsed as XML (an SVG root, the title as typed, a
path per curve, nothing referred to outside it), then drawn by headless Chromium into a PNG
whose pixels show the curve where sen x is: on the axis at 0°, 180° and 360°, at the top
under 90° and at the bottom under 270°, and nowhere near the top under 270°. The places are
the labels' own in the document. Exit status 77 (skipped, saying so) without chromium;
Chromium is installed by tools/ensure_packages.sh, never by this test.
Usage: svg_picture_test.py PROGRAM
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib

from checks import run_checks

SVG = "{http://www.w3.org/2000/svg}"
LINE = "sen x"
CURVE = (0xd6, 0x27, 0x28)  # the first curve's colour, #d62728
TIME_LIMIT = 120  # seconds: only a hang reaches it


def document(program, line):
    return subprocess.run([program, "--graph=svg", line], capture_output=True, check=True,
                          timeout=TIME_LIMIT).stdout


def label_places(root):
    """The x of each angle label (centred under its tick) and the y of each value label."""
    angles, values = {}, {}
    for text in root.iter(SVG + "text"):
        if text.get("{http://www.w3.org/XML/1998/namespace}space"):
            continue  # the legend
        if "°" in (text.text or ""):
            angles[text.text] = float(text.get("x"))
        elif text.get("dominant-baseline") == "central":
            values[text.text] = float(text.get("y"))
    return angles, values


def check_document(program):
    root = ElementTree.fromstring(document(program, LINE))
    problems = []
    if root.tag != SVG + "svg":
        problems.append("the root is %r" % root.tag)
    if root.find(SVG + "title").text != LINE:
        problems.append("the title is %r" % root.find(SVG + "title").text)
    if len(list(root.iter(SVG + "path"))) != 1:
        problems.append("not one path for one curve")
    outside = [element.tag for element in root.iter()
               if any(name.endswith("href") for name in element.attrib)]
    if outside:
        problems.append("references outside the document: %r" % outside)
    angles, values = label_places(root)
    if not {"0°", "90°", "180°", "270°", "360°"} <= set(angles) or not {"-1", "0", "1"} <= set(values):
        problems.append("labels %r, %r" % (angles, values))
    return problems


def png_pixels(path):
    """(width, height, rows of RGB triples) of an 8-bit RGB or RGBA PNG, decoded here."""
    with open(path, "rb") as f:
        data = f.read()
    position, chunks, header = 8, b"", None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks += body
        position += 12 + length
    width, height, depth, colour = header[:4]
    assert depth == 8 and colour in (2, 6), "PNG of depth %d, colour type %d" % (depth, colour)
    step = 3 if colour == 2 else 4
    raw, rows, previous = zlib.decompress(chunks), [], bytearray(width * step)
    stride = width * step + 1
    for y in range(height):
        kind, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        for i in range(len(line)):
            left = line[i - step] if i >= step else 0
            up, corner = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                nearest = min((abs(p - left), 0, left), (abs(p - up), 1, up),
                              (abs(p - corner), 2, corner))[2]
                line[i] = (line[i] + nearest) & 0xFF
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def curve_near(rows, x, y, reach=4):
    """True when a pixel of the curve's colour is within `reach` pixels of (x, y)."""
    close = lambda pixel: all(abs(a - b) <= 40 for a, b in zip(pixel, CURVE))
    return any(close(rows[j][i]) for j in range(int(y) - reach, int(y) + reach + 1)
               for i in range(int(x) - reach, int(x) + reach + 1)
               if 0 <= j < len(rows) and 0 <= i < len(rows[0]))


def check_drawn(program, browser):
    svg = document(program, LINE)
    root = ElementTree.fromstring(svg)
    width, height = int(root.get("width")), int(root.get("height"))
    angles, values = label_places(root)
    with tempfile.TemporaryDirectory(prefix="trigcalc-svg-") as work:
        source, picture = os.path.join(work, "graph.svg"), os.path.join(work, "graph.png")
        with open(source, "wb") as f:
            f.write(svg)
        subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu",
                        "--hide-scrollbars", "--user-data-dir=" + os.path.join(work, "profile"),
                        "--screenshot=" + picture, "--window-size=%d,%d" % (width, height),
                        "file://" + source], capture_output=True, timeout=TIME_LIMIT)
        if not os.path.exists(picture):
            return ["the browser wrote no PNG"]
        _, _, rows = png_pixels(picture)
    places = [("0°", "0"), ("90°", "1"), ("180°", "0"), ("270°", "-1"), ("360°", "0")]
    problems = ["no curve at (%s, %s)" % place for place in places
                if not curve_near(rows, angles[place[0]], values[place[1]])]
    if curve_near(rows, angles["270°"], values["1"], reach=20):
        problems.append("the curve near (270°, 1)")
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: svg_picture_test.py PROGRAM")
    program = os.path.abspath(sys.argv[1])
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    checks = [("the SVG document as XML", lambda: check_document(program))]
    if browser:
        checks.append(("the SVG drawn by Chromium", lambda: check_drawn(program, browser)))
    status = run_checks(checks)
    if not browser:
        print("SKIPPED: the drawing by a browser: chromium is missing "
              "(tools/ensure_packages.sh chromium)")
        return 77 if status == 0 else status
    return status


if __name__ == "__main__":
    sys.exit(main())
