#!/usr/bin/env python3
"""Generates the bundled example projects from true coordinates.

Every observation is computed from the true positions with this script's own
geometry and given random errors of its stated standard deviation (seeded,
so the files are reproducible). The 2D network also gets one planted gross
error. Run from the repository root:

    python3 examples/generate_examples.py

The true coordinates are written next to each project as <name>.truth.json,
for the integration tests and for anyone who wants to check the results.
"""

import json
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

# GRS 80.
A = 6378137.0
F = 1 / 298.257222101
E2 = F * (2 - F)
R = 6371000.0
K = 0.13  # refraction coefficient


def gon(radians):
    return radians * 200 / math.pi


def dms(radians):
    negative = radians < 0
    seconds = round(abs(math.degrees(radians)) * 3600, 2)
    d = int(seconds // 3600)
    seconds -= d * 3600
    m = int(seconds // 60)
    seconds -= m * 60
    return f"{'-' if negative else ''}{d} {m:02d} {seconds:05.2f}"


def write(name, project, truth):
    with open(os.path.join(HERE, name + ".json"), "w", encoding="utf-8") as out:
        json.dump(project, out, indent=2, ensure_ascii=False)
        out.write("\n")
    with open(os.path.join(HERE, name + ".truth.json"), "w", encoding="utf-8") as out:
        json.dump(truth, out, indent=2)
        out.write("\n")


def levelling():
    """A levelling network: two benchmarks, six new points, three loops."""
    rng = random.Random(11)
    heights = {"BM1": 12.3456, "BM2": 27.1093, "P1": 14.2210, "P2": 18.7342,
               "P3": 22.0117, "P4": 25.4480, "P5": 16.9023, "P6": 20.5567}
    positions = {"BM1": (0, 0), "BM2": (3200, 900), "P1": (600, 250), "P2": (1300, 400),
                 "P3": (2000, 600), "P4": (2700, 750), "P5": (900, 900), "P6": (1800, 1300)}
    lines = [("BM1", "P1"), ("P1", "P2"), ("P2", "P3"), ("P3", "P4"), ("P4", "BM2"),
             ("BM1", "P5"), ("P5", "P2"), ("P5", "P6"), ("P6", "P3"), ("P6", "BM2"),
             ("P1", "P5"), ("P4", "P6")]
    per_km = 0.0010  # 1.0 mm per root kilometre
    observations = []
    for a, b in lines:
        length = math.dist(positions[a], positions[b])
        sd = per_km * math.sqrt(length / 1000)
        value = heights[b] - heights[a] + rng.gauss(0, sd)
        observations.append({"type": "height_difference", "from": a, "to": b,
                             "value": round(value, 5), "sd_per_km": per_km,
                             "length": round(length, 1)})
    stations = []
    for name, h in heights.items():
        station = {"name": name, "east": positions[name][0] + 10000.0,
                   "north": positions[name][1] + 20000.0}
        if name.startswith("BM"):
            station.update({"height": h, "known": "height", "sd_height": 0.0005})
        else:
            station["height"] = round(h + rng.uniform(-0.05, 0.05), 3)  # approximate
        stations.append(station)
    write("levelling", {
        "name": "Levelling along the river", "dimension": 1, "datum": "constrained",
        "stations": stations, "observations": observations,
    }, {"heights": heights})


def triangulation():
    """A 2D traverse-and-triangulation network with directions in sets and
    distances; the distance T3-T6 carries a planted error of 4.5 cm."""
    rng = random.Random(22)
    points = {"K1": (10000.000, 20000.000), "K2": (12400.000, 20350.000),
              "T1": (10650.000, 20820.000), "T2": (11480.000, 20910.000),
              "T3": (12150.000, 21400.000), "T4": (11200.000, 21750.000),
              "T5": (10300.000, 21500.000), "T6": (11350.000, 20400.000)}
    known = {"K1", "K2"}
    sd_direction = 0.0003  # gon
    sd_distance, ppm = 0.002, 2.0
    neighbours = {
        "K1": ["T1", "T6", "T5"], "K2": ["T6", "T3", "T2"],
        "T1": ["K1", "T2", "T5", "T6"], "T2": ["T1", "T6", "K2", "T3", "T4"],
        "T3": ["K2", "T4", "T2", "T6"], "T4": ["T3", "T5", "T2"],
        "T5": ["T4", "T1", "K1"], "T6": ["K1", "K2", "T2", "T1", "T3"],
    }
    orientation = {name: rng.uniform(0, 2 * math.pi) for name in points}
    observations = []
    measured = set()
    for station, targets in neighbours.items():
        for target in targets:
            de = points[target][0] - points[station][0]
            dn = points[target][1] - points[station][1]
            bearing = math.atan2(de, dn)
            direction = (bearing - orientation[station]) % (2 * math.pi)
            direction += rng.gauss(0, sd_direction * math.pi / 200)
            record = {"type": "total_station", "from": station, "to": target,
                      "direction": round(gon(direction % (2 * math.pi)), 5), "set": 1,
                      "sd_direction": sd_direction}
            line = tuple(sorted((station, target)))
            if line not in measured:
                measured.add(line)
                distance = math.hypot(de, dn)
                sd = sd_distance + ppm * 1e-6 * distance
                value = distance + rng.gauss(0, sd)
                if line == ("T3", "T6"):
                    value += 0.045  # the planted gross error
                record.update({"distance": round(value, 4), "sd_distance": sd_distance,
                               "sd_ppm": ppm})
            observations.append(record)
    stations = []
    for name, (e, n) in points.items():
        if name in known:
            stations.append({"name": name, "east": e, "north": n, "known": "position",
                             "sd_horizontal": 0.005})
        else:
            stations.append({"name": name, "east": round(e + rng.uniform(-0.3, 0.3), 3),
                             "north": round(n + rng.uniform(-0.3, 0.3), 3)})
    write("triangulation", {
        "name": "Bridge control network", "dimension": 2, "datum": "free",
        "angle_unit": "gon", "stations": stations, "observations": observations,
    }, {"points": points, "gross_error": {"from": "T3", "to": "T6", "kind": "distance",
                                          "size": 0.045}})


def geocentric(lat, lon, h):
    n = A / math.sqrt(1 - E2 * math.sin(lat) ** 2)
    return ((n + h) * math.cos(lat) * math.cos(lon), (n + h) * math.cos(lat) * math.sin(lon),
            (n * (1 - E2) + h) * math.sin(lat))


def frame(lat, lon):
    sp, cp, sl, cl = math.sin(lat), math.cos(lat), math.sin(lon), math.cos(lon)
    return ((-sp * cl, -sp * sl, cp), (-sl, cl, 0.0), (cp * cl, cp * sl, sp))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def gps_and_total_station():
    """A 3D network: GPS baselines with full covariances and total-station
    records (direction, slant distance, zenith angle) between neighbours."""
    rng = random.Random(33)
    points = {"G1": (52.0000, 5.0000, 12.30), "G2": (52.0120, 5.0210, 8.95),
              "G3": (52.0230, 5.0040, 25.40), "S1": (52.0080, 5.0060, 15.10),
              "S2": (52.0150, 5.0120, 19.75), "S3": (52.0060, 5.0150, 10.20)}
    points = {k: (math.radians(a), math.radians(b), h) for k, (a, b, h) in points.items()}
    xyz = {k: geocentric(*v) for k, v in points.items()}
    observations = []
    sd_gps = (0.004, 0.003, 0.005)
    correlation = (0.35, -0.20, 0.45)
    for a, b in [("G1", "G2"), ("G2", "G3"), ("G3", "G1"), ("G1", "S1"), ("G2", "S3"),
                 ("G3", "S2")]:
        # Noise with the stated covariance: C = S R S through a Cholesky
        # factor of the correlation matrix.
        rxy, rxz, ryz = correlation
        l11 = 1.0
        l21, l22 = rxy, math.sqrt(1 - rxy ** 2)
        l31 = rxz
        l32 = (ryz - l21 * l31) / l22
        l33 = math.sqrt(1 - l31 ** 2 - l32 ** 2)
        z = [rng.gauss(0, 1) for _ in range(3)]
        noise = (l11 * z[0], l21 * z[0] + l22 * z[1], l31 * z[0] + l32 * z[1] + l33 * z[2])
        d = [xyz[b][i] - xyz[a][i] + sd_gps[i] * noise[i] for i in range(3)]
        observations.append({"type": "gps_baseline", "from": a, "to": b,
                             "dx": round(d[0], 4), "dy": round(d[1], 4), "dz": round(d[2], 4),
                             "sd": list(sd_gps), "correlation": list(correlation)})
    sd_angle = math.radians(1.0 / 3600)  # 1 arc second
    hi, ht = 1.55, 1.30
    orientation = {name: rng.uniform(0, 2 * math.pi) for name in points}
    for a, b in [("S1", "S2"), ("S2", "S3"), ("S3", "S1"), ("S1", "G1"), ("S2", "G3"),
                 ("S3", "G2"), ("S2", "S1"), ("S3", "S2"), ("S1", "S3")]:
        la, lo, h = points[a]
        lb, lob, hb = points[b]
        pa = [x + hi * u for x, u in zip(xyz[a], frame(la, lo)[2])]
        pb = [x + ht * u for x, u in zip(xyz[b], frame(lb, lob)[2])]
        d = [y - x for x, y in zip(pa, pb)]
        n, e, u = (dot(d, axis) for axis in frame(la, lo))
        slant = math.sqrt(dot(d, d))
        direction = (math.atan2(e, n) - orientation[a]) % (2 * math.pi)
        zenith = math.atan2(math.hypot(n, e), u) - K * slant / (2 * R)
        sd_dist = 0.001 + 1.5e-6 * slant
        observations.append({
            "type": "total_station", "from": a, "to": b,
            "direction": dms(direction + rng.gauss(0, sd_angle)),
            "distance": round(slant + rng.gauss(0, sd_dist), 4),
            "zenith": dms(zenith + rng.gauss(0, sd_angle)),
            "set": 1, "sd_direction": "0 0 1.0", "sd_distance": 0.001, "sd_ppm": 1.5,
            "sd_zenith": "0 0 1.0", "instrument_height": hi, "target_height": ht})
    stations = []
    for name, (lat, lon, h) in points.items():
        station = {"name": name}
        if name in ("G1", "G2", "G3"):
            station.update({"latitude": dms(lat), "longitude": dms(lon), "height": h,
                            "known": "both", "sd_horizontal": 0.002, "sd_height": 0.004,
                            "gps": True})
        else:
            station.update({"latitude": dms(lat + rng.uniform(-3e-7, 3e-7)),
                            "longitude": dms(lon + rng.uniform(-3e-7, 3e-7)),
                            "height": round(h + rng.uniform(-0.3, 0.3), 2)})
        stations.append(station)
    write("gps-total-station", {
        "name": "GPS and total station, 3D", "dimension": 3, "datum": "weighted",
        "angle_unit": "dms", "ellipsoid": "GRS80", "projection": "none",
        "parameters": {"refraction": [{"group": 0, "value": K, "estimate": False}]},
        "stations": stations, "observations": observations,
    }, {"points": {k: [math.degrees(v[0]), math.degrees(v[1]), v[2]] for k, v in points.items()}})


def design():
    """A planned 2D network: where should the instruments stand? The values
    are the planned geometry; a design uses only their geometry."""
    points = {"A": (5000.0, 5000.0), "B": (6500.0, 5100.0), "C": (6300.0, 6400.0),
              "D": (4900.0, 6300.0), "N1": (5800.0, 5700.0), "N2": (5600.0, 6900.0)}
    lines = [("A", "N1"), ("B", "N1"), ("C", "N1"), ("D", "N1"), ("C", "N2"), ("D", "N2"),
             ("N1", "N2")]
    observations = []
    for a, b in lines:
        for s, t in ((a, b), (b, a)):
            de, dn = points[t][0] - points[s][0], points[t][1] - points[s][1]
            record = {"type": "total_station", "from": s, "to": t,
                      "direction": round(gon(math.atan2(de, dn) % (2 * math.pi)), 4),
                      "sd_direction": 0.0005}
            if s == a:
                record.update({"distance": round(math.hypot(de, dn), 3), "sd_distance": 0.003,
                               "sd_ppm": 3.0})
            observations.append(record)
    stations = [{"name": name, "east": e, "north": n} for name, (e, n) in points.items()]
    for station in stations:
        if station["name"] in ("A", "B", "C", "D"):
            station.update({"known": "position", "sd_horizontal": 0.01})
    write("design", {
        "name": "Planned monitoring network", "dimension": 2, "datum": "weighted",
        "design": True, "settings": {"confidence_2d": 0.95},
        "stations": stations, "observations": observations,
    }, {"points": points})


def traverse_without_coordinates():
    """A 2D traverse between two pairs of known stations, with a point
    intersected from it, whose new stations have no coordinates at all: the
    kernel computes them before it adjusts."""
    rng = random.Random(31)
    points = {"K1": (1000.000, 1000.000), "K2": (980.000, 1650.000),
              "P1": (1420.000, 1080.000), "P2": (1850.000, 1010.000),
              "P3": (2300.000, 1120.000), "P4": (2720.000, 1060.000),
              "K3": (3150.000, 1130.000), "K4": (3210.000, 1700.000),
              "N1": (2050.000, 1650.000)}
    known = {"K1", "K2", "K3", "K4"}
    sd_direction = 0.0005  # gon
    sd_distance, ppm = 0.003, 2.0
    sights = {"K1": ["K2", "P1"], "P1": ["K1", "P2"], "P2": ["P1", "P3", "N1"],
              "P3": ["P2", "P4", "N1"], "P4": ["P3", "K3"], "K3": ["P4", "K4", "N1"]}
    orientation = {name: rng.uniform(0, 2 * math.pi) for name in points}
    observations = []
    for station, targets in sights.items():
        for target in targets:
            de = points[target][0] - points[station][0]
            dn = points[target][1] - points[station][1]
            direction = (math.atan2(de, dn) - orientation[station]) % (2 * math.pi)
            direction += rng.gauss(0, sd_direction * math.pi / 200)
            record = {"type": "total_station", "from": station, "to": target,
                      "direction": round(gon(direction % (2 * math.pi)), 5), "set": 1,
                      "sd_direction": sd_direction}
            if not (station in known and target in known) and target != "N1":
                distance = math.hypot(de, dn)
                value = distance + rng.gauss(0, sd_distance + ppm * 1e-6 * distance)
                record.update({"distance": round(value, 4), "sd_distance": sd_distance,
                               "sd_ppm": ppm})
            observations.append(record)
    stations = []
    for name, (e, n) in points.items():
        if name in known:
            stations.append({"name": name, "east": e, "north": n, "known": "position",
                             "sd_horizontal": 0.003})
        else:
            stations.append({"name": name})
    write("traverse-without-coordinates", {
        "name": "Traverse along the river", "dimension": 2, "datum": "constrained",
        "angle_unit": "gon", "stations": stations, "observations": observations,
    }, {"points": points})


if __name__ == "__main__":
    levelling()
    triangulation()
    gps_and_total_station()
    design()
    traverse_without_coordinates()
