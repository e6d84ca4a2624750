#!/usr/bin/env python3
"""Writes the sample data of the examples folder.

The files follow the layouts Tarvis itself writes. The scanned photo is
simulated: the nominal crosses of a 5 x 5 reseau, mapped into pixels by a
slightly rotated, non-orthogonal scan of about 0.02 mm per pixel, with small
measuring noise and one blunder. Run it again to make the files afresh; the
noise comes from a fixed seed, so the files come out the same every time.
"""

import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, text):
    with open(os.path.join(HERE, name), "w", newline="\n", encoding="latin-1") as f:
        f.write(text)


def g(value, digits=16):
    return "%.*g" % (digits, value)


def camera_file():
    cameras = [
        (1, 152.1, 0.01, -0.02, -3.2e-06, 1.5e-10, 70, "Aerial wide angle 152"),
        (2, 303.45, -0.005, 0.012, -1.1e-06, 0, 80, "Aerial normal angle 305"),
        (3, 80, 0, 0, -2.5e-05, 4e-09, 25, "Medium format 80"),
    ]
    lines = [
        "; ",
        "; TARVOSYS 10 Version 6.715 Camera File",
        "; ",
        '; File Format: { Id  C  Xh  Yh  A1  A2  R0 "Infotext"}',
        "; ",
        "",
    ]
    for cam_id, *values, info in cameras:
        lines.append("{ %4d%s \"%s\"}" % (cam_id, "".join(" %18s" % g(v, 8) for v in values), info))
    write("Tarvis.cam", "\n".join(lines) + "\n")


def reseau_header():
    return "\n".join([
        "; ",
        "; TARVOSYS 10 Version 6.715 Reseau File",
        "; ",
        "; File Format:",
        '; "Infotext"         ... Commenttext displayed in a graphical view',
        "; { x1, y1, x2, y2 } ... Size of Photo in Bikos [mm]",
        "; { x1, y1, x2, y2 } ... Pos. and size of Commenttext",
        "; { Id, x, y, Code } ... List of Reseaucrosses",
        ";             Code  Description",
        ";              0 .. Small Reseaucross",
        ";              1 .. Big Reseaucross",
        ";              2 .. Not really a cross, a Corner of the Picture",
        "; ",
        "",
        "",
    ])


def region(x1, y1, x2, y2):
    return "{%22s%22s\n    %22s%22s}" % (g(x1), g(y1), g(x2), g(y2))


# The 5 x 5 reseau: crosses 40 mm apart, numbered row (1 at the top) then column
# (1 at the left); the centre cross is a big one.
RESEAU = [(10 * row + col, -80.0 + 40.0 * (col - 1), 80.0 - 40.0 * (row - 1))
          for row in range(1, 6) for col in range(1, 6)]


def reseau_file():
    text = reseau_header()
    text += '"5 x 5 reseau, 40 mm grid"\n'
    text += region(-115, -115, 115, 115) + "\n"
    text += region(20, -115, 115, -100) + "\n\n"
    for cross_id, x, y in RESEAU:
        code = 1 if cross_id == 33 else 0
        text += "{%11d%22s%22s%5d}\n" % (cross_id, g(x), g(y), code)
    write("reseau_5x5.res", text)


def digital_reseau_file():
    entries = [
        ("Pocket 12", 0, "12 MP compact", 4000, 3000, 6.17, 4.55),
        ("Frame 24", 1, "Full frame", 6000, 4000, 36, 24),
        ("Frame 24", 2, "Cropped mode", 3936, 2624, 23.6, 15.7),
    ]
    lines = [
        "; ",
        "; TARVOSYS 10 Version 6.715 Digital Camera Reseau File",
        "; ",
        "; File Format:",
        ';  { "ExifKameraType"  SubId "Comment"              Pixel_X  Pixel_Y   CCD_X    CCD_Y    }',
        "; ",
        "",
    ]
    for name, sub_id, comment, width, height, ccd_x, ccd_y in entries:
        lines.append("{  %-18s  %4d  %-18s  %8d  %8d  %8s  %8s  }" % (
            '"%s"' % name, sub_id, '"%s"' % comment, width, height, g(ccd_x, 6), g(ccd_y, 6)))
    lines += ["", "; EOF"]
    write("Tarvis.dres", "\n".join(lines) + "\n")


def scanned_crosses():
    # Scan geometry: 0.02 mm per pixel, x scaled by 1.0003, y by 0.9996, a shear
    # of 0.4 mrad, rotated by 0.6 degrees; pixel rows run downwards.
    theta = math.radians(0.6)
    sx, sy, shear = 50.0 * 1.0003, 50.0 * 0.9996, 0.0004
    cx, cy = 5800.0, 5750.0
    rng = random.Random(20261209)
    blunder = {24: (3.6, -2.8)}
    lines = ["; Measured reseau crosses of a scanned photo, pixel coordinates (column, row)",
             "; number           X              Y"]
    for cross_id, x, y in RESEAU:
        u = sx * x + sx * shear * y
        v = sy * y
        pu = math.cos(theta) * u - math.sin(theta) * v
        pv = math.sin(theta) * u + math.cos(theta) * v
        px = cx + pu + rng.gauss(0.0, 0.15)
        py = cy - pv + rng.gauss(0.0, 0.15)
        bx, by = blunder.get(cross_id, (0.0, 0.0))
        lines.append("%6d %14.2f %14.2f" % (cross_id, px + bx, py + by))
    write("scan_crosses.imo", "\n".join(lines) + "\n")


def image_points():
    points = [(101, 12.345, -45.678), (102, -88.0, 61.25), (103, 0.01, -0.02), (104, 101.5, 99.75)]
    lines = ["; Image points in mm, relative to the fiducial centre"]
    lines += ["%6d %12.3f %12.3f" % p for p in points]
    write("image_points.imo", "\n".join(lines) + "\n")


if __name__ == "__main__":
    camera_file()
    reseau_file()
    digital_reseau_file()
    scanned_crosses()
    image_points()
