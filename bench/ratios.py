"""Turns Google Benchmark JSON into ratio lines against same-run baselines.

The benchmarks run as several rounds (repetitions, randomly interleaved), so each
round measures every benchmark once and a figure and its baseline are measured close
together in time. Each round gives one ratio; a figure is the median of its rounds'
ratios, and its spread is the interquartile range of those ratios relative to the
median. A figure whose spread is wider than the limit is marked UNSTABLE: the
machine was too busy to trust it.
"""
import json
import statistics
import sys

UNSTABLE_SPREAD = 0.10
TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def rounds_by_name(benchmarks):
    """Benchmark name -> {round: real time in ns} of every finished run."""
    runs = {}
    for b in benchmarks:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"])
        ns = b["real_time"] * TO_NS[b.get("time_unit", "ns")]
        runs.setdefault(name, {})[b.get("repetition_index", 0)] = ns
    return runs


def figure(measured, baseline):
    """(median ratio, relative spread) over the rounds both benchmarks ran in."""
    ratios = sorted(measured[r] / baseline[r] for r in measured if r in baseline)
    if not ratios:
        return None
    median = statistics.median(ratios)
    if len(ratios) < 4:
        spread = (ratios[-1] - ratios[0]) / median
    else:
        q1, _, q3 = statistics.quantiles(ratios, n=4, method="inclusive")
        spread = (q3 - q1) / median
    return median, spread


def line(name, result, target):
    if result is None:
        return f"{name} ratio missing target {target}"
    ratio, spread = result
    text = f"{name} ratio {ratio:.3f} target {target} spread {spread * 100:.1f}%"
    if target != "-" and ratio > float(target):
        text += "  (over target)"
    if spread > UNSTABLE_SPREAD:
        text += f"  UNSTABLE spread {spread * 100:.0f}%"
    return text


def main(result_path, targets_path):
    with open(result_path) as f:
        runs = rounds_by_name(json.load(f)["benchmarks"])
    failed = False
    with open(targets_path) as f:
        for raw in f:
            raw = raw.strip()
            if not raw or raw.startswith("#"):
                continue
            name, measured, baseline, target = raw.split()
            result = None
            if measured in runs and baseline in runs:
                result = figure(runs[measured], runs[baseline])
            failed = failed or result is None
            print(line(name, result, target))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
