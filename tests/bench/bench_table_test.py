#!/usr/bin/env python3
"""The browser's and the studio's rows of scripts/bench_table.py: which native figure each
ratio is taken against, the goals each row is held to, and what a missing or mismatched
measurement prints, for the whole table and for `bench.sh --browser` (no benchmarks).

    bench_table_test.py SCRIPTS_DIR"""
import contextlib
import io
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, sys.argv.pop(1) if len(sys.argv) > 1 else "scripts")
import bench_table  # noqa: E402

NATIVE = {"BM_DemoEveryFrame/real_time": {"keys": 124, "wall": 12.4e-3}}
STUDIO = {"repetitions": 9, "tiles_ms": 120, "everything_ms": 400, "tiles_in_view": 15,
          "zip_bytes": 600000}


def frames(**fields):
    browser = {"keys": 124, "repetitions": 5, "module_ms": 6.2, "painted_ms": 9.3}
    browser.update(fields)
    return browser


def rows(runs, browser):
    table = bench_table.Table()
    bench_table.add_browser_rows(table, runs, browser)
    # figure start -> (ratio, goal, met)
    return {row[0].split(" (")[0]: (row[3], row[4], row[5]) for row in table.rows}


FRAME_ROW = "browser: every demo frame through the shell, per key"
TILES_ROW = "studio: from choosing the demo's files to every tile in view drawn"
EVERYTHING_ROW = "studio: Download everything of the demo, from the click to the zip's bytes"


class BrowserRows(unittest.TestCase):
    def test_the_frames_row(self):
        cases = [
            # (what, benchmark runs, browser JSON, expected ratio, expected met)
            ("against the benchmarks' native walk", NATIVE, frames(), "0.50×", "yes"),
            ("paired: the median of the pairs, not of the medians", NATIVE,
             frames(native_ms=1.0, ratio=1.9), "1.90×", "yes"),
            ("paired, over the goal", {}, frames(native_ms=3.0, ratio=2.4), "2.40×", "NO"),
            ("slower than twice the benchmarks' walk", NATIVE, frames(module_ms=30), "2.42×", "NO"),
            ("walks of other lengths", NATIVE, frames(keys=100), "—", "NO: the walks differ"),
            ("no native walk", {}, frames(), "—", "not measured"),
            ("no browser", NATIVE, None, "—", "not measured"),
            ("the frames failed, the studio ran", NATIVE, {"studio": STUDIO}, "—", "not measured"),
        ]
        for what, runs, browser, ratio, met in cases:
            with self.subTest(what):
                ratio_shown, goal, met_shown = rows(runs, browser)[FRAME_ROW]
                self.assertEqual((ratio_shown, goal, met_shown), (ratio, "≤ 2×", met))

    def test_the_studio_rows(self):
        cases = [
            ("both within their goals", STUDIO, "yes", "yes"),
            ("tiles at their goal exactly", dict(STUDIO, tiles_ms=150), "yes", "yes"),
            ("tiles too slow", dict(STUDIO, tiles_ms=151), "NO", "yes"),
            ("the download too slow", dict(STUDIO, everything_ms=1001), "yes", "NO"),
            ("not measured", None, "not measured", "not measured"),
        ]
        for what, studio, tiles_met, everything_met in cases:
            with self.subTest(what):
                shown = rows(NATIVE, frames(studio=studio) if studio else frames())
                self.assertEqual(shown[TILES_ROW][1:], ("≤ 150 ms", tiles_met))
                self.assertEqual(shown[EVERYTHING_ROW][1:], ("≤ 1 s", everything_met))

    def test_the_browser_rows_alone(self):
        """bench.sh --browser: no benchmarks and no command-line figures, only the browser's."""
        with tempfile.TemporaryDirectory() as folder:
            paths = [os.path.join(folder, name) for name in ("bench.json", "processes.json")]
            browser = frames(native_ms=12.4, ratio=0.5, studio=STUDIO)
            for path, content in zip(paths, ({"benchmarks": []}, {"browser": browser})):
                with open(path, "w") as out:
                    json.dump(content, out)
            printed = io.StringIO()
            with contextlib.redirect_stdout(printed):
                self.assertEqual(bench_table.main(paths), 0)
        lines = printed.getvalue().splitlines()
        self.assertEqual(len(lines), 2 + 4, printed.getvalue())
        self.assertTrue(all(line.rstrip().endswith("| yes |") or "the same" in line
                            for line in lines[2:]), printed.getvalue())


if __name__ == "__main__":
    unittest.main()
