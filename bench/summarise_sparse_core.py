#!/usr/bin/env python3
"""Turns the JSON output of sparse_core_bench into the Markdown tables of
bench/README.md and checks the targets of the sparse core:

- factor entries at most 1.5 x those of Eigen's AMD ordering,
- numeric factorisation at most 2 x the time of Eigen's factorize,
- numeric factorisation at most 1.3 x CHOLMOD's supernodal factorize on the
  same matrix in the same order (networks of 10,000 stations and more),
- sparse inverse at most 2.5 x our numeric factorisation,
- the 100,000-station 2D network ordered, factorised and inverted within
  24 GiB (peak resident set of the ours_pipeline step).

Usage: summarise_sparse_core.py results.json
"""

import json
import sys

ENTRIES_TARGET = 1.5
NUMERIC_TARGET = 2.0
CHOLMOD_TARGET = 1.3
CHOLMOD_TARGET_FROM = 10000
INVERSE_TARGET = 2.5
MEMORY_TARGET_MIB = 24 * 1024
MEMORY_TARGET_CASE = ("2D", 100000)

TIME_STEPS = [
    ("ours_ordering", "ordering"),
    ("ours_symbolic", "symbolic"),
    ("ours_numeric", "numeric"),
    ("ours_solve", "solve"),
    ("ours_inverse", "inverse"),
    ("eigen_analyse", "Eigen analyse"),
    ("eigen_factorise", "Eigen factorise"),
    ("eigen_solve", "Eigen solve"),
    ("cholmod_analyse", "CHOLMOD analyse"),
    ("cholmod_factorise", "CHOLMOD factorise"),
    ("cholmod_solve", "CHOLMOD solve"),
]


def to_milliseconds(entry):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
    return entry["real_time"] * scale


def load_cases(path):
    """{(network, stations): {step: benchmark entry}} in the order of the run."""
    with open(path, encoding="utf-8") as handle:
        report = json.load(handle)
    cases = {}
    for entry in report["benchmarks"]:
        if entry.get("run_type", "iteration") != "iteration":
            continue
        network, stations, step = entry["name"].split("/")[:3]
        cases.setdefault((network, int(stations)), {})[step] = entry
    return report.get("context", {}), cases


def figure(value, digits=3):
    if value is None:
        return "–"
    if abs(value) >= 100:
        return f"{value:,.0f}"
    return f"{value:.{digits}g}"


def counter(steps, step, name):
    entry = steps.get(step)
    return entry.get(name) if entry else None


def time_of(steps, step):
    entry = steps.get(step)
    return to_milliseconds(entry) if entry else None


def ratio(a, b):
    return a / b if a is not None and b else None


def time_table(cases):
    header = ["network", "stations", "unknowns", "rows"] + [label for _, label in TIME_STEPS]
    header += ["numeric / Eigen factorise", "numeric / CHOLMOD factorise", "inverse / numeric"]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for (network, stations), steps in cases.items():
        unknowns = counter(steps, "ours_symbolic", "unknowns")
        rows = counter(steps, "ours_symbolic", "rows")
        cells = [network, f"{stations:,}", figure(unknowns), figure(rows)]
        cells += [figure(time_of(steps, step)) for step, _ in TIME_STEPS]
        cells.append(figure(ratio(time_of(steps, "ours_numeric"),
                                  time_of(steps, "eigen_factorise"))))
        cells.append(figure(ratio(time_of(steps, "ours_numeric"),
                                  time_of(steps, "cholmod_factorise"))))
        cells.append(figure(ratio(time_of(steps, "ours_inverse"),
                                  time_of(steps, "ours_numeric"))))
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def size_table(cases):
    header = ["network", "stations", "L entries", "Eigen L entries", "entries / Eigen",
              "multiply-adds", "Eigen multiply-adds", "supernodes", "block entries",
              "CHOLMOD supernodes", "CHOLMOD L entries", "L MiB", "Eigen L MiB",
              "pipeline ms", "pipeline peak MiB", "suite peak MiB"]
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for (network, stations), steps in cases.items():
        peaks = [entry.get("peak_MiB") for step, entry in steps.items()
                 if step != "ours_pipeline" and entry.get("peak_MiB") is not None]
        cells = [
            network, f"{stations:,}",
            figure(counter(steps, "ours_symbolic", "L_entries")),
            figure(counter(steps, "ours_symbolic", "Eigen_L_entries")),
            figure(counter(steps, "ours_symbolic", "entries_ratio")),
            figure(counter(steps, "ours_symbolic", "madds")),
            figure(counter(steps, "ours_symbolic", "Eigen_madds")),
            figure(counter(steps, "ours_numeric", "supernodes")),
            figure(counter(steps, "ours_numeric", "block_entries")),
            figure(counter(steps, "cholmod_analyse", "CHOLMOD_supernodes")),
            figure(counter(steps, "cholmod_analyse", "CHOLMOD_L_entries")),
            figure(counter(steps, "ours_symbolic", "L_MiB")),
            figure(counter(steps, "eigen_analyse", "Eigen_L_MiB")),
            figure(time_of(steps, "ours_pipeline")),
            figure(counter(steps, "ours_pipeline", "peak_MiB")),
            figure(max(peaks) if peaks else None),
        ]
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def verdict(passed):
    return "met" if passed else "MISSED"


def target_lines(cases):
    lines = []
    for (network, stations), steps in cases.items():
        entries = counter(steps, "ours_symbolic", "entries_ratio")
        numeric = ratio(time_of(steps, "ours_numeric"), time_of(steps, "eigen_factorise"))
        parts = []
        if entries is not None:
            parts.append(f"entries {entries:.3f} x AMD (<= {ENTRIES_TARGET}): "
                         f"{verdict(entries <= ENTRIES_TARGET)}")
        if numeric is not None:
            parts.append(f"numeric {numeric:.2f} x Eigen (<= {NUMERIC_TARGET}): "
                         f"{verdict(numeric <= NUMERIC_TARGET)}")
        cholmod = ratio(time_of(steps, "ours_numeric"), time_of(steps, "cholmod_factorise"))
        if cholmod is not None and stations >= CHOLMOD_TARGET_FROM:
            parts.append(f"numeric {cholmod:.2f} x CHOLMOD supernodal (<= {CHOLMOD_TARGET}): "
                         f"{verdict(cholmod <= CHOLMOD_TARGET)}")
        inverse = ratio(time_of(steps, "ours_inverse"), time_of(steps, "ours_numeric"))
        if inverse is not None:
            parts.append(f"inverse {inverse:.2f} x numeric (<= {INVERSE_TARGET}): "
                         f"{verdict(inverse <= INVERSE_TARGET)}")
        if (network, stations) == MEMORY_TARGET_CASE:
            peak = counter(steps, "ours_pipeline", "peak_MiB")
            if peak is not None:
                parts.append(f"pipeline peak {peak:,.0f} MiB (<= {MEMORY_TARGET_MIB:,} MiB): "
                             f"{verdict(peak <= MEMORY_TARGET_MIB)}")
        if parts:
            lines.append(f"- {network} {stations:,}: " + "; ".join(parts))
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    context, cases = load_cases(sys.argv[1])
    print(f"Machine: {context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz; "
          f"{context.get('date', '')}\n")
    print("Times in milliseconds (one run per step at 100,000 stations).\n")
    print(time_table(cases))
    print()
    print(size_table(cases))
    print("\nTargets:\n")
    print(target_lines(cases))


if __name__ == "__main__":
    main()
