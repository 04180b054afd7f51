"""Checks of bench/ratios.py on made-up benchmark results (no timing involved)."""
import io
import json
import os
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ratios  # noqa: E402


def run(name, index, time, unit="ms"):
    return {"name": name, "run_name": name, "run_type": "iteration", "repetition_index": index,
            "real_time": time, "time_unit": unit}


class RatiosTest(unittest.TestCase):
    def report(self, benchmarks, targets):
        with tempfile.TemporaryDirectory() as folder:
            result = os.path.join(folder, "result.json")
            target = os.path.join(folder, "targets.txt")
            with open(result, "w") as f:
                json.dump({"benchmarks": benchmarks}, f)
            with open(target, "w") as f:
                f.write("# NAME measured baseline target\n" + targets)
            out = io.StringIO()
            with redirect_stdout(out):
                code = ratios.main(result, target)
            return code, out.getvalue().splitlines()

    def test_rounds_pair_a_figure_with_its_own_baseline(self):
        # The machine gets twice as slow in round 2 and three times in round 4: the
        # ratio of each round stays 1.1, so the figure does and its spread is nil.
        load = [1, 1, 2, 1, 3, 1, 1]
        benchmarks = [run("BM_Live", i, 11 * f) for i, f in enumerate(load)]
        benchmarks += [run("BM_Base", i, 10 * f) for i, f in enumerate(load)]
        benchmarks.append({"name": "BM_Live_median", "run_name": "BM_Live", "run_type": "aggregate",
                           "real_time": 99.0, "time_unit": "ms"})
        code, lines = self.report(benchmarks, "Live BM_Live BM_Base 1.25\n")
        self.assertEqual(code, 0)
        self.assertEqual(lines, ["Live ratio 1.100 target 1.25 spread 0.0%"])

    def test_median_of_the_rounds_and_a_wide_spread_is_marked(self):
        live = [10, 14, 9, 12, 8, 11, 13, 10, 12]
        benchmarks = [run("BM_Live", i, t) for i, t in enumerate(live)]
        benchmarks += [run("BM_Base", i, 10) for i in range(len(live))]
        code, lines = self.report(benchmarks, "Live BM_Live BM_Base 1.0\n")
        self.assertEqual(code, 0)
        self.assertEqual(lines, ["Live ratio 1.100 target 1.0 spread 18.2%  (over target)  UNSTABLE spread 18%"])

    def test_units_are_converted_and_missing_figures_fail(self):
        benchmarks = [run("BM_Live", 0, 2, "ms"), run("BM_Base", 0, 4000, "us"),
                      dict(run("BM_Broken", 0, 1), error_occurred=True)]
        code, lines = self.report(benchmarks, "Live BM_Live BM_Base -\nBroken BM_Broken BM_Base -\n")
        self.assertEqual(code, 1)
        self.assertEqual(lines, ["Live ratio 0.500 target - spread 0.0%", "Broken ratio missing target -"])


if __name__ == "__main__":
    unittest.main()
