#!/usr/bin/env python3
"""Writes the readable sources of the two default driving-profile workbooks,
pb_bara_glid_data.txt and lb_bara_glid_data.txt, from a small smooth model.

Usage: data/src/make-profiles.py   (then tools/make-workbooks.sh builds the .xls files)

These are demonstration values, not an authority's emission factors. The model, per vehicle
category, at mean speed v (km/h) and slope g (%):

  fuel (l/km)      flat(v) = a/v + b + c*v^2 (fitted to the flat value at 70 km/h and a
                   higher one at top speed; a/v makes fuel per km rise in queues), plus a
                   climbing term k1*g + k2*g*|g|, smoothly bounded below by an engine-braking
                   floor(v) = a0/v + b0 (softplus blend), so downhill fuel levels off.
  NOx, exhaust     proportional to fuel (grams per litre at 70 km/h on the flat), so both
  particles        rise uphill and in queues like fuel.
  tyre particles   EMEP/EEA Tier 2 factor and speed correction, slightly more on any slope.
  brake particles  EMEP/EEA Tier 2 factor and speed correction, more downhill, less uphill.

Anchors: a Euro 4 diesel car at 70 km/h uses 4.6 l/100 km on the flat, 6.5 / 8.6 / 11.0 at
+2 / +4 / +6 % and about 1.6 at -6 % (derived from PHEMlight PKW_D_EU4); tyre 0.0107 g/km and
brake 0.0075 g/km per car (EMEP/EEA); trucks from the same shapes with heavier masses.
"""

import math
import os

SLOPES = [-7, -5, -3, 0, 3, 5, 7]
CAR_SPEEDS = list(range(10, 111, 10))
TRUCK_SPEEDS = list(range(10, 91, 10))
NOTE = ("Demonstrationsvärden – inte officiella emissionsfaktorer. Ersätt med egna "
        "arbetsböcker med samma namn och layout.")
END_NOTE = ("Tabellen slutar vid första raden utan hastighet i kolumn C. Hastigheterna i "
            "kolumn C ska vara stigande.")


def softplus(x, scale):
    return scale * math.log1p(math.exp(x / scale)) if x / scale < 50 else x


def fitted_flat(a, f70, v_top, f_top):
    """a/v + b + c v^2 through (70, f70) and (v_top, f_top)."""
    c = (f_top - f70 - a / v_top + a / 70) / (v_top ** 2 - 70 ** 2)
    b = f70 - a / 70 - c * 70 ** 2
    return lambda v: a / v + b + c * v * v


def tyre_speed(v):  # EMEP/EEA Tier 2 speed correction for tyre wear
    return 1.39 if v < 40 else (0.902 if v > 90 else -0.00974 * v + 1.78)


def brake_speed(v):  # EMEP/EEA Tier 2 speed correction for brake wear
    return 1.67 if v < 40 else (0.185 if v > 95 else -0.0270 * v + 2.75)


class Category:
    def __init__(self, label, a, f70, v_top, f_top, k1, k2, a0, b0, nox70, pm70, tyre, brake,
                 brake_down):
        self.label = label
        self.flat = fitted_flat(a, f70, v_top, f_top)
        self.k1, self.k2 = k1, k2
        self.floor = lambda v: a0 / v + b0
        self.nox_per_litre = nox70 / f70
        self.pm_per_litre = pm70 / f70
        self.tyre, self.brake, self.brake_down = tyre, brake, brake_down

    def fuel(self, v, g):
        raw = self.flat(v) + self.k1 * g + self.k2 * g * abs(g)
        floor = self.floor(v)
        return floor + softplus(raw - floor, 0.25 * floor)

    def row(self, v, g):
        fuel = self.fuel(v, g)
        smooth_abs = math.sqrt(g * g + 1) - 1
        tyre = self.tyre * tyre_speed(v) * (1 + 0.03 * smooth_abs)
        brake_slope = (1 + self.brake_down * softplus(-g, 1) - 0.03 * softplus(g, 1)) / (
            1 + (self.brake_down - 0.03) * math.log(2))
        brake = self.brake * brake_speed(v) * brake_slope
        return [fuel, fuel * self.nox_per_litre, fuel * self.pm_per_litre, tyre, brake]


# label, a (l/h-ish), fuel at 70, top speed, fuel at top speed, climbing k1 k2 (l/km per %),
# floor a0 b0, NOx and exhaust particles at 70 km/h flat (g/km), tyre, brake (g/km), extra
# brake wear per % downhill.
PETROL_CAR = Category("bensinbilar", 0.9, 0.052, 110, 0.067, 0.0101, 0.00033, 0.30, 0.0130,
                      0.25, 0.002, 0.0107, 0.0075, 0.15)
DIESEL_CAR = Category("dieselbilar", 0.8, 0.046, 110, 0.060, 0.00892, 0.000292, 0.30, 0.0117,
                      0.55, 0.040, 0.0107, 0.0075, 0.15)
TRUCK = Category("lastbilar", 2.5, 0.25, 90, 0.285, 0.075, 0.0015, 1.5, 0.030,
                 5.0, 0.10, 0.034, 0.033, 0.08)
TRUCK_TRAILER = Category("lastbilar med släp", 3.5, 0.38, 90, 0.43, 0.16, 0.003, 2.0, 0.040,
                         8.5, 0.15, 0.056, 0.045, 0.08)


def number(x, significant=4):
    """A number text with `significant` digits, without exponent."""
    if x == 0:
        return "0"
    decimals = max(0, significant - 1 - int(math.floor(math.log10(abs(x)))))
    return "%.*f" % (decimals, round(x, decimals))


def slope_name(g):
    return ("-%d%%" % -g) if g < 0 else (" %d%%" % g)


def block(lines, category, speeds, g):
    for v in speeds:
        values = [number(x) for x in category.row(v, g)]
        lines.append("\t".join(["", str(g), str(v)] + values))


def workbook(prefix, title, first, second, speeds):
    lines = [
        "# Driving-profile workbook: %s. Written by data/src/make-profiles.py; edit the model"
        % title,
        "# there and rerun it, then tools/make-workbooks.sh. Demonstration values.",
        "# Layout read by the program: column C speed (km/h, ascending), D fuel (l/km),",
        "# E NOx, F exhaust particles, G tyre particles, H brake particles (g/km);",
        "# block 1 from row 2, row 22 column A a label with \"Körprofil\", block 2 from row 23;",
        "# each block ends at the first row without a speed in column C.",
    ]
    header = ["", "Lutning (%)", "Medelhastighet (km/h)", "Bränsle (l/fordonskm)",
              "NOx (g/fordonskm)", "Avgaspartiklar (g/fordonskm)", "Däckpartiklar (g/fordonskm)",
              "Bromspartiklar (g/fordonskm)"]
    for g in SLOPES:
        name = prefix + " " + slope_name(g)
        header[0] = "%s, lutning %d %%" % (title, g)
        lines += ["", "== SHEET: " + name, "\t".join(header)]
        # Block 1: rows 2 up to at most 21, then its closing row without a speed.
        lines.append("Körprofil: " + first.label)
        lines[-1] += "\t" + str(g) + "\t" + str(speeds[0]) + "\t" + "\t".join(
            number(x) for x in first.row(speeds[0], g))
        block(lines, first, speeds[1:], g)
        lines.append(NOTE)
        used = 2 + len(speeds)
        lines += [""] * (21 - used)
        # Row 22: the label the program checks; block 2 from row 23.
        lines.append("Körprofil: " + second.label)
        block(lines, second, speeds, g)
        lines.append(END_NOTE)
    return "\n".join(lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "pb_bara_glid_data.txt"), "w", encoding="utf-8") as f:
        f.write(workbook("PB", "Personbilar", PETROL_CAR, DIESEL_CAR, CAR_SPEEDS))
    with open(os.path.join(here, "lb_bara_glid_data.txt"), "w", encoding="utf-8") as f:
        f.write(workbook("LB", "Lastbilar", TRUCK, TRUCK_TRAILER, TRUCK_SPEEDS))


if __name__ == "__main__":
    main()
