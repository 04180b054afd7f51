"""Turns Google Benchmark JSON into ratio lines against same-run baselines."""
import json
import sys


def main(result_path, targets_path):
    with open(result_path) as f:
        runs = {b["name"]: b["real_time"] for b in json.load(f)["benchmarks"]
                if b.get("run_type", "iteration") == "iteration"}
    failed = False
    with open(targets_path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, measured, baseline, target = line.split()
            if measured not in runs or baseline not in runs:
                print(f"{name} ratio missing target {target}")
                failed = True
                continue
            ratio = runs[measured] / runs[baseline]
            mark = "" if target == "-" or ratio <= float(target) else "  (over target)"
            print(f"{name} ratio {ratio:.3f} target {target}{mark}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
