#!/usr/bin/env python3
"""Turns the output of adjustment_bench (one JSON object per line) into the
Markdown tables of bench/README.md and checks the target of the tests:

- for the 10,000-station 2D network, tests and precision together (sparse
  inverse, precision, tests and external reliability) cost at most 3 x the
  adjustment's numeric factorisation.

Usage: summarise_adjustment.py results.jsonl
"""

import json
import sys

TESTS_TARGET = 3.0
TESTS_TARGET_CASE = ("2D", 10000)

STAGES = [
    ("load", "load"),
    ("prepare", "prepare"),
    ("fill_design", "fill A"),
    ("fill_weights", "fill P"),
    ("symbolic", "symbolic"),
    ("numeric", "numeric + solve"),
    ("iterations", "iterations"),
    ("inverse", "inverse"),
    ("precision", "precision"),
    ("tests", "tests"),
    ("external_reliability", "ext. reliability"),
]

TESTS_AND_PRECISION = ["inverse", "precision", "tests", "external_reliability"]


def number(value):
    if value >= 100:
        return f"{value:,.0f}"
    if value >= 10:
        return f"{value:.1f}"
    return f"{value:.2f}"


def main(path):
    runs = [json.loads(line) for line in open(path) if line.strip()]
    header = ["network", "stations", "unknowns", "observations", "iterations",
              "ext. rel."] + [label for _, label in STAGES] + ["total", "peak MiB"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for run in runs:
        stages = run["stages_ms"]
        network = run["network"]
        if run.get("national"):
            network += " national"
        if run.get("inner_constraints"):
            network += " free (inner)"
        cells = [network, f"{run['stations']:,}", f"{run['unknowns']:,}",
                 f"{run['observations']:,}", str(run["iterations"]),
                 "yes" if run["external_reliability"] else "no"]
        cells += [number(stages.get(key, 0.0)) if key in stages else "–" for key, _ in STAGES]
        cells += [number(run["total_ms"]), number(run["peak_MiB"])]
        if not run["ok"]:
            cells[0] += " (failed)"
        print("| " + " | ".join(cells) + " |")

    print()
    print("| network | stations | ext. rel. | tests + precision ms | numeric ms | ratio |")
    print("|---|---|---|---|---|---|")
    verdicts = []
    for run in runs:
        stages = run["stages_ms"]
        cost = sum(stages.get(key, 0.0) for key in TESTS_AND_PRECISION)
        numeric = stages.get("numeric", 0.0)
        ratio = cost / numeric if numeric > 0 else float("inf")
        ext = "yes" if run["external_reliability"] else "no"
        print(f"| {run['network']} | {run['stations']:,} | {ext} | {number(cost)} | "
              f"{number(numeric)} | {ratio:.2f} |")
        if (run["network"], run["stations"]) == TESTS_TARGET_CASE:
            verdicts.append((ext, ratio))
    print()
    for ext, ratio in verdicts:
        met = "met" if ratio <= TESTS_TARGET else "missed"
        print(f"target tests + precision <= {TESTS_TARGET} x numeric factorisation, "
              f"2D 10,000, external reliability {ext}: {ratio:.2f} ({met})")


if __name__ == "__main__":
    main(sys.argv[1])
