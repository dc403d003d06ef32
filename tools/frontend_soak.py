#!/usr/bin/env python3
"""Soak of the quillmoor front end: plays GAMES games against each named build with random
legal SAN moves and counts faults. The script knows no chess rules: it reads the board after
every line, tries the SAN words of its pieces (every target square of every piece, pawn
captures and pushes, castling) in random order until the front end takes one, and picks one
of the moves an ambiguity message lists. A game must end with an announced result, or reach
the move limit; an engine fault, a timeout, an exited child or a side left without any
accepted move and no announcement is a fault.

    frontend_soak.py QUILLMOOR [--games N] [--builds engine-e,engine-a] [--seed S] [--max-moves M]
"""
import argparse
import random
import re
import subprocess
import sys
import tempfile

PIECES = "NBRQK"
FAULT_WORDS = ("ENGINE FAULT", "sent nothing", "has exited", "movecheck", "Cannot start")


class FrontEnd:
    def __init__(self, program, build, folder):
        self.p = subprocess.Popen([program, build, "--folder", folder, "--no-times", "--timeout", "30"],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def say(self, line):
        """Sends a line and then board; returns the lines answered and the board's rows and
        its status line."""
        self.p.stdin.write(line + "\nboard\n")
        self.p.stdin.flush()
        lines = []
        while True:
            out = self.p.stdout.readline()
            if not out:
                raise RuntimeError("quillmoor ended: " + "".join(lines))
            out = out.rstrip("\n")
            lines.append(out)
            if " to move; castling: " in out:
                return lines[:-10], lines[-10:-2], out

    def close(self):
        self.p.stdin.write("quit\n")
        self.p.stdin.close()
        return self.p.wait(timeout=30)


def candidates(rows, status):
    white = status.startswith("White")
    words = ["O-O", "O-O-O"]
    for r, row in enumerate(rows):
        cells = row.split()[1:]
        for f, cell in enumerate(cells):
            if cell == "." or cell.isupper() != white:
                continue
            kind = cell.upper()
            rank = 8 - r
            if kind == "P":
                step = 1 if white else -1
                if 1 <= rank + step <= 8:
                    words.append("abcdefgh"[f] + str(rank + step))
                    if 1 <= rank + 2 * step <= 8:
                        words.append("abcdefgh"[f] + str(rank + 2 * step))
                    for df in (-1, 1):
                        if 0 <= f + df < 8:
                            words.append("abcdefgh"[f] + "x" + "abcdefgh"[f + df] + str(rank + step))
            else:
                words += [kind + "abcdefgh"[tf] + str(tr) for tf in range(8) for tr in range(1, 9)]
    return words


def play_game(front, rng, max_moves):
    """Plays one game; returns "1-0", "0-1", "1/2-1/2", "limit" or a fault text."""
    lines, rows, status = front.say("new")
    for _ in range(max_moves):
        words = candidates(rows, status)
        rng.shuffle(words)
        moved = False
        for word in words:
            lines, rows_after, status_after = front.say(word)
            text = "\n".join(lines)
            if any(w in text for w in FAULT_WORDS):
                return "fault: " + text
            amb = re.search(r"Ambiguous move: \S+ \((.*)\)", text)
            if amb:
                choice = rng.choice(re.split(r", | or ", amb.group(1)))
                lines, rows_after, status_after = front.say(choice)
                text = "\n".join(lines)
            if text.startswith("Illegal move") or text.startswith("Ambiguous"):
                continue
            if any(w in text for w in FAULT_WORDS):
                return "fault: " + text
            end = re.search(r"(Checkmate|Stalemate)\. (\S+)", text)
            if end:
                return end.group(2)
            if "You: " not in text:
                return "fault: unexpected answer to " + word + ": " + text
            rows, status = rows_after, status_after
            moved = True
            break
        if not moved:
            return "fault: no move accepted and no end announced: " + status
    return "limit"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("quillmoor")
    ap.add_argument("--games", type=int, default=100)
    ap.add_argument("--builds", default="engine-e,engine-a")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--max-moves", type=int, default=150)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    results, faults = {}, 0
    with tempfile.TemporaryDirectory() as folder:
        for build in a.builds.split(","):
            front = FrontEnd(a.quillmoor, build, folder)
            for game in range(a.games):
                result = play_game(front, rng, a.max_moves)
                if result.startswith("fault"):
                    faults += 1
                    print(f"{build} game {game + 1}: {result}", file=sys.stderr)
                    front.close()
                    front = FrontEnd(a.quillmoor, build, folder)
                    result = "fault"
                results[(build, result)] = results.get((build, result), 0) + 1
            front.close()
    for (build, result), n in sorted(results.items()):
        print(f"{build} {result}: {n}")
    print(f"faults: {faults}")
    return 1 if faults else 0


sys.exit(main())
