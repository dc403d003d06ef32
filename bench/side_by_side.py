#!/usr/bin/env python3
"""Times the six builds (by bench) and Fairy-Max (Debian's fairymax, sd 5, over its xboard
protocol) on one suite in one run, and prints per-position and summary times with each
program's ratio to Fairy-Max.

  bench/side_by_side.py [--bench PATH] [--fairymax PATH] [--positions FILE]
                        [--builds engine-a,...] [--rounds N]

Each position is timed N times (default 1) and its median is taken. Fairy-Max is timed from
"go" to its "move" line, after a ping has shown it idle; the builds are timed by bench.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILDS = ["engine-a", "engine-b", "engine-c", "engine-d", "engine-e", "engine-f"]
FAIRY = "fairymax"
# Fairy-Max searches to this depth, the builds' own depth.
DEPTH = 5
# A clock so long that the depth limit alone ends each of Fairy-Max's searches.
CLOCK_CENTISECONDS = 60 * 60 * 100
# The lines that end Fairy-Max's turn.
ANSWERS = ("move ", "resign", "1-0", "0-1", "1/2-1/2")
BENCH_LINE = re.compile(r"^\s*\d+ (white|black) \S+\s+ordinal.*time\s+([0-9.]+) s$")


def load_suite(path):
    suite = []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fen, side = line.rsplit(None, 1)
            suite.append((fen, side))
    return suite


def bench_times(bench, build, positions):
    out = subprocess.run([bench, "--profile", build, "--positions", positions],
                         check=True, capture_output=True, text=True).stdout
    times = [float(m.group(2)) for m in map(BENCH_LINE.match, out.splitlines()) if m]
    return times


class FairyMax:
    """One Fairy-Max process, set up position by position in edit mode."""

    def __init__(self, path):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        self.pings = 0
        self.send("xboard", "protover 2")
        self.wait_for(lambda line: line.startswith("feature") and "done=1" in line)

    def send(self, *lines):
        self.proc.stdin.write("".join(line + "\n" for line in lines))
        self.proc.stdin.flush()

    def wait_for(self, test):
        for line in self.proc.stdout:
            if test(line.strip()):
                return line.strip()
        raise RuntimeError("fairymax ended")

    def sync(self):
        self.pings += 1
        self.send(f"ping {self.pings}")
        self.wait_for(lambda line: line == f"pong {self.pings}")

    def time_position(self, fen, side):
        # Edit mode sets the pieces; castling follows from kings and rooks standing on their
        # first squares, and an en-passant square cannot be given.
        placement = fen.split()[0]
        white, black = [], []
        for rank_index, rank in enumerate(placement.split("/")):
            file = 0
            for c in rank:
                if c.isdigit():
                    file += int(c)
                    continue
                square = "abcdefgh"[file] + str(8 - rank_index)
                (white if c.isupper() else black).append(c.upper() + square)
                file += 1
        self.send("new", "force", "edit", "#", *white, "c", *black, ".",
                  "white" if fen.split()[1] == "w" else "black",
                  f"sd {DEPTH}", "level 0 60 0", f"time {CLOCK_CENTISECONDS}",
                  f"otim {CLOCK_CENTISECONDS}", "nopost")
        self.sync()
        start = time.perf_counter()
        self.send("go")
        # With no legal move Fairy-Max answers with a result or resigns instead of moving.
        self.wait_for(lambda line: line.startswith(ANSWERS))
        seconds = time.perf_counter() - start
        self.send("force")
        return seconds

    def close(self):
        self.send("quit")
        self.proc.wait(timeout=10)


def share(sorted_times, fraction):
    """Nearest-rank percentile of ascending times."""
    rank = max(1, -(-int(fraction * 1000) * len(sorted_times) // 1000))
    return sorted_times[min(rank, len(sorted_times)) - 1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", default=os.path.join(HERE, "..", "build", "release", "bin", "bench"))
    parser.add_argument("--fairymax", default="/usr/games/fairymax")
    parser.add_argument("--positions", default=os.path.join(HERE, "heavy.txt"))
    parser.add_argument("--builds", default=",".join(BUILDS))
    parser.add_argument("--rounds", type=int, default=1)
    args = parser.parse_args()

    suite = load_suite(args.positions)
    builds = [b for b in args.builds.split(",") if b]
    samples = {name: [[] for _ in suite] for name in builds + [FAIRY]}
    for _ in range(args.rounds):
        for build in builds:
            times = bench_times(args.bench, build, args.positions)
            if len(times) != len(suite):
                sys.exit(f"side_by_side: bench gave {len(times)} times for {len(suite)} positions")
            for i, t in enumerate(times):
                samples[build][i].append(t)
        fairy = FairyMax(args.fairymax)
        for i, (fen, side) in enumerate(suite):
            samples[FAIRY][i].append(fairy.time_position(fen, side))
        fairy.close()

    names = builds + [FAIRY]
    ms = {n: [1000 * statistics.median(s) for s in samples[n]] for n in names}
    print(f"{len(suite)} positions from {os.path.relpath(args.positions)}, depth {DEPTH}, "
          f"{args.rounds} round(s), median per position, milliseconds")
    print("pos " + "".join(f"{n:>10}" for n in names))
    for i in range(len(suite)):
        print(f"{i + 1:3d} " + "".join(f"{ms[n][i]:10.2f}" for n in names))
    print()
    print(f"{'program':10} {'median':>9} {'p90':>9} {'max':>9} {'median/FM':>10} {'p90/FM':>8} {'max/FM':>8}")
    fm = sorted(ms[FAIRY])
    fm_row = [share(fm, 0.5), share(fm, 0.9), fm[-1]]
    for n in names:
        s = sorted(ms[n])
        row = [share(s, 0.5), share(s, 0.9), s[-1]]
        ratios = [r / f if f > 0 else float("nan") for r, f in zip(row, fm_row)]
        print(f"{n:10} {row[0]:9.2f} {row[1]:9.2f} {row[2]:9.2f} {ratios[0]:10.3g} {ratios[1]:8.3g} {ratios[2]:8.3g}")


if __name__ == "__main__":
    main()
