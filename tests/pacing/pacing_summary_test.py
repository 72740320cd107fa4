#!/usr/bin/env python3
"""Checks tools/pacing-summary.py on made-up frame logs: intervals, lateness, skipped frames and
the choice of the measured stretch. Argument: the path of pacing-summary.py."""

import importlib.util
import sys
import unittest

module_spec = importlib.util.spec_from_file_location("pacing_summary", sys.argv.pop(1))
ps = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(ps)

FREQ = 10_000_000  # ticks per second, as Wine's counter
PERIOD = 166_660  # 16.666 ms in those ticks


def line(role, thread, t0, presented=True, late_ticks=0, work=20_000, deadline=None):
    deadline = t0 + PERIOD if deadline is None else deadline
    present = deadline + late_ticks if presented else 0
    return f"frame {role} {thread} {t0} {t0 + work} {int(presented)} {FREQ} {deadline} {present}"


def steady(n, role="master", thread="10", start=1_000_000):
    """n frames on time, one period apart."""
    return [line(role, thread, start + i * PERIOD) for i in range(n)]


class Figures(unittest.TestCase):
    def figures(self, lines):
        return ps.thread_figures(ps.parse(lines))

    def test_frames_on_time_have_the_period_and_nothing_late_or_skipped(self):
        g = self.figures(steady(100))
        self.assertEqual(len(g["intervals"]), 99)
        self.assertAlmostEqual(sum(g["intervals"]) / 99, 16666.0)
        self.assertEqual((g["late"], g["missing"], g["not_presented"]), (0, 0, 0))

    def test_late_means_more_than_a_millisecond_past_the_deadline(self):
        lateness = {3: 10_001, 5: 9_999}  # ticks: 1.0001 ms and 0.9999 ms
        g = self.figures([line("master", "1", i * PERIOD, late_ticks=lateness.get(i, 0))
                          for i in range(10)])
        self.assertEqual(g["late"], 1)

    def test_a_dropped_present_counts_once_as_skipped(self):
        lines = [line("master", "1", i * PERIOD, presented=(i != 4)) for i in range(10)]
        g = self.figures(lines)
        self.assertEqual(g["not_presented"], 1)
        self.assertEqual(g["missing"], 1)
        self.assertAlmostEqual(g["intervals"][-1], 2 * 16666.0)

    def test_a_stall_of_three_periods_counts_two_missing_presents(self):
        t0s = [0, PERIOD, 4 * PERIOD, 5 * PERIOD]
        g = self.figures([line("master", "1", t) for t in t0s])
        self.assertEqual(g["missing"], 2)
        self.assertAlmostEqual(g["intervals"][-1], 3 * 16666.0)

    def test_an_interval_a_little_long_is_not_a_skip(self):
        t0s = [0, PERIOD, int(2.4 * PERIOD)]
        self.assertEqual(self.figures([line("master", "1", t) for t in t0s])["missing"], 0)

    def test_the_linux_rate_sets_the_period_and_the_rate_asked(self):
        # --frame-rate 30: frames two periods apart, the rate after the frame shown.
        g = self.figures([line("master", "0", i * 2 * PERIOD, deadline=(i + 1) * 2 * PERIOD)
                          + f" {2 * i + 1} 30" for i in range(31)])
        self.assertEqual((g["rate"], g["missing"]), (30, 0))
        self.assertAlmostEqual(g["frames_per_second"], 1e6 / (2 * 16666.0))
        # The same frames asked at 60 miss every other present.
        g = self.figures([line("master", "0", i * 2 * PERIOD) + f" {i} 60" for i in range(31)])
        self.assertEqual(g["missing"], 30)

    def test_nearest_rank_percentiles(self):
        values = list(range(1, 101))
        self.assertEqual(ps.percentile(values, 50), 50)
        self.assertEqual(ps.percentile(values, 99), 99)
        self.assertEqual(ps.percentile([7], 99), 7)


class Parsing(unittest.TestCase):
    def test_other_lines_and_malformed_frames_are_ignored(self):
        lines = ["warning: bad command type (99) in sequence cmd->seq",
                 "frame master 1 2 3 1 10000000",  # too few fields
                 "frame master 1 x 3 1 10000000 5 6",
                 "frame master 1 2 3 1 0 5 6",  # no frequency
                 line("master", "1", 0),
                 line("master", "1", 1) + " 17"]  # the Windows build's frame number after them
        self.assertEqual(len(ps.parse(lines)), 2)


class Stretch(unittest.TestCase):
    def test_the_stretch_skips_master_frames_and_keeps_the_clones_inside_it(self):
        lines = []
        for i in range(20):
            lines.append(line("master", "1", i * PERIOD))
            lines.append(line("clone", "2", i * PERIOD + 5))
        chosen = ps.select(ps.parse(lines), skip=5, count=10)
        masters = [f for f in chosen if f["role"] == "master"]
        clones = [f for f in chosen if f["role"] == "clone"]
        self.assertEqual([f["t0"] for f in masters], [i * PERIOD for i in range(5, 15)])
        # A clone frame that starts after the last measured master frame is left out.
        self.assertEqual([f["t0"] for f in clones], [i * PERIOD + 5 for i in range(5, 14)])

    def test_too_few_frames_is_an_error(self):
        with self.assertRaises(ValueError):
            ps.select(ps.parse(steady(10)), skip=5, count=10)

    def test_cpu_time_is_given_per_master_frame_and_per_window_frame(self):
        lines = steady(10) + steady(10, role="clone", thread="11")
        text = ps.summary(ps.parse(lines), cpu_seconds=0.02)
        self.assertIn("cpu per master frame 2.000 ms (2 windows, 1.000 ms per window frame)", text)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]])
