#!/usr/bin/env python3
"""Replays engine transcripts against an outside referee: Debian's stockfish.

A developer aid for freezing new transcripts, never run by CTest (CI does not have stockfish):

    apt-get install -y stockfish
    python3 tests/transcripts/replay_with_stockfish.py tests/transcripts/engine-a/*.in

Every CASE.in is read as the engine reads it (lines up to LF, only the first 799 bytes of a
line count, the first blank-delimited word, a NUL ends the text) and the game is followed in
stockfish. For every line the script predicts what the engine must print and checks CASE.out
against it:
  - a typed move of the user's side is accepted exactly when stockfish lists it (a pawn move
    to the last rank as the queen promotion), and then the engine replies;
  - a reply from CASE.files/wbook.vbk or bbook.vbk is looked up here with its own reader; an
    answer that is one legal move must be announced as that move, any other answer is a
    "reshaped board" whose announced squares are only reported, never judged;
  - a searched reply must be one "move" line naming a move stockfish lists in the position,
    or no line at all when stockfish finds no legal move for the engine's side;
  - "ii" must print the diagram of the position stockfish holds.
It prints one line per case and exits 1 when any case disagrees.
"""
import pathlib
import re
import shutil
import subprocess
import sys

BANNER = "Quillmoor Experimental WinBoard 5"
MAX_LINE = 799
BLANKS = b" \t\r\v\f"
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


class Stockfish:
    def __init__(self):
        # Debian installs it in /usr/games, which is not always on PATH.
        program = shutil.which("stockfish") or "/usr/games/stockfish"
        self.proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def wait_for(self, prefix):
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError("stockfish ended")
            line = line.rstrip("\n")
            lines.append(line)
            if line.startswith(prefix):
                return lines

    def legal_moves(self, fen):
        self.send(f"position fen {fen}")
        self.send("go perft 1")
        lines = self.wait_for("Nodes searched")
        return {l.split(":")[0] for l in lines if re.fullmatch(r"[a-h][1-8][a-h][1-8][qrbn]?: \d+", l)}

    def fen_after(self, fen, move):
        self.send(f"position fen {fen} moves {move}")
        self.send("d")
        # "d" ends with the line of checkers, which follows the FEN.
        for line in self.wait_for("Checkers:"):
            if line.startswith("Fen:"):
                return line[5:].strip()

    def close(self):
        self.send("quit")
        self.proc.wait()


def placement_to_text(placement):
    text = ""
    for row in placement.split("/"):
        for c in row:
            text += " " * int(c) if c.isdigit() else c
    assert len(text) == 64
    return text


def text_to_placement(text):
    rows = []
    for r in range(8):
        row, gap = "", 0
        for c in text[r * 8:r * 8 + 8]:
            if c in "KQRBNPkqrbnp":
                if gap:
                    row += str(gap)
                row, gap = row + c, 0
            else:
                gap += 1
        rows.append(row + (str(gap) if gap else ""))
    return "/".join(rows)


def with_side(fen, side):
    """The position with `side` ('w' or 'b') to move; a forced change of side drops en passant."""
    f = fen.split()
    if f[1] != side:
        f[1], f[3] = side, "-"
    return " ".join(f)


def castling_rights_kept(old_rights, text):
    keep = ""
    home = {"K": (60, 63, "K", "R"), "Q": (60, 56, "K", "R"), "k": (4, 7, "k", "r"), "q": (4, 0, "k", "r")}
    for right in old_rights if old_rights != "-" else "":
        king_sq, rook_sq, king, rook = home[right]
        if text[king_sq] == king and text[rook_sq] == rook:
            keep += right
    return keep or "-"


def announced_squares(before, after, occupied_before, occupied_after):
    """The squares a reshaping book answer is announced with: the last square (rank 1 to 8, file a
    to h) the engine's side empties and the last one it fills, the king's squares for a castling;
    None when its occupancy is unchanged or it empties or fills none."""
    if occupied_before == occupied_after:
        return None
    def name(k):
        return "abcdefgh"[k % 8] + str(8 - k // 8)
    order = [r * 8 + f for r in range(7, -1, -1) for f in range(8)]
    emptied = [k for k in order if occupied_before[k] and not occupied_after[k]]
    filled = [k for k in order if occupied_after[k] and not occupied_before[k]]
    squares = name(emptied[-1]) + name(filled[-1]) if emptied and filled else None
    for king, frm, to, text in (("k", 4, 6, "e8g8"), ("K", 60, 62, "e1g1"), ("k", 4, 2, "e8c8"), ("K", 60, 58, "e1c1")):
        if before[frm] == king and after[to] == king:
            squares = text
    return squares


def read_book_units(path):
    """The book as the engine's text-mode reader sees it: CR dropped, byte 26 ends it, 65-character units."""
    if not path.is_file():
        return None
    data = path.read_bytes()
    if 26 in data:
        data = data[:data.index(26)]
    data = data.replace(b"\r", b"")
    return [data[i:i + 65] for i in range(0, len(data), 65)]


def book_answer(units, text):
    if units is None:
        return None
    for i in range(0, len(units) - 1, 2):
        key, answer = units[i], units[i + 1]
        if len(key) >= 64 and len(answer) >= 64 and key[:64].decode("latin-1") == text:
            return "".join(c if c in "KQRBNPkqrbnp" else " " for c in answer[:64].decode("latin-1"))
    return None


def diagram(text):
    out = ["   --   View For White   --          --   View For Black   ---",
           "   ========================          ========================="]
    for i in range(8):
        left = "".join(f"|{text[i * 8 + f]} " for f in range(8))
        right = "".join(f"|{text[(7 - i) * 8 + 7 - f]} " for f in range(8))
        out.append(f"{8 - i} {left}|        {i + 1} {right}|")
        if i < 7:
            out.append("   ------------------------          -------------------------")
    out.append("  =========================          =========================")
    out.append("    A  B  C  D  E  F  G  H             H  G  F  E  D  C  B  A  ")
    return out


def first_word(raw_line):
    line = raw_line[:MAX_LINE]
    i = 0
    while i < len(line) and line[i] in BLANKS:
        i += 1
    j = i
    while j < len(line) and line[j] not in BLANKS and line[j] != 0:
        j += 1
    return line[i:j].decode("latin-1")


def typed_move(word):
    if len(word) < 4:
        return None
    w = word[:4].lower()
    if w[0] in "abcdefgh" and w[1] in "12345678" and w[2] in "abcdefgh" and w[3] in "12345678":
        return w
    return None


class Replay:
    def __init__(self, sf, case):
        self.sf, self.case = sf, case
        files = pathlib.Path(str(case) + ".files")
        self.books = {1: read_book_units(files / "wbook.vbk"), 0: read_book_units(files / "bbook.vbk")}
        self.out = pathlib.Path(str(case) + ".out").read_text(encoding="latin-1").split("\n")
        if self.out[0] != BANNER:
            raise SystemExit(f"{case.name}: first line {self.out[0]!r} is not the banner")
        self.pos = 1
        self.notes, self.errors, self.moves_checked = [], [], 0
        self.new_game()

    def new_game(self):
        self.fen, self.engine_side, self.engine_moves = START_FEN, 0, 0

    def next_out(self):
        line = self.out[self.pos] if self.pos < len(self.out) else None
        self.pos += 1
        return line

    def user_moves(self, word, lineno):
        move = typed_move(word)
        if move is None:
            return
        fen = with_side(self.fen, "w" if self.engine_side == 0 else "b")
        legal = self.sf.legal_moves(fen)
        played = move if move in legal else move + "q" if move + "q" in legal else None
        if played is None:
            return
        self.moves_checked += 1
        self.fen = self.sf.fen_after(fen, played)
        self.reply(lineno)

    def reply(self, lineno):
        side = "w" if self.engine_side == 1 else "b"
        fen = with_side(self.fen, side)
        self.engine_moves += 1
        text = placement_to_text(fen.split()[0])
        legal = self.sf.legal_moves(fen)
        answer = book_answer(self.books[self.engine_side], text)
        if answer is not None:
            self.book_reply(fen, text, answer, legal, lineno)
            return
        if not legal:
            self.notes.append(f"line {lineno}: the engine's side has no legal move: nothing to announce")
            return
        line = self.next_out()
        if line is None or not line.startswith("move "):
            self.errors.append(f"line {lineno}: expected a move line, got {line!r}")
            return
        move = line[5:]
        played = move if move in legal else move + "q" if move + "q" in legal else None
        if played is None:
            self.errors.append(f"line {lineno}: {line} is not legal in {fen}")
            return
        self.moves_checked += 1
        self.fen = self.sf.fen_after(fen, played)

    def book_reply(self, fen, text, answer, legal, lineno):
        own = str.isupper if self.engine_side == 1 else str.islower
        as_move = [m for m in legal if placement_to_text(self.sf.fen_after(fen, m).split()[0]) == answer]
        occupied_before = [own(c) for c in text]
        occupied_after = [own(c) for c in answer]
        if as_move:
            line = self.next_out()
            if line != "move " + as_move[0][:4]:
                self.errors.append(f"line {lineno}: book move {as_move[0]} announced as {line!r}")
            self.moves_checked += 1
            self.fen = self.sf.fen_after(fen, as_move[0])
            f = self.fen.split()
            f[3] = "-"  # a book answer is a position: it leaves no en-passant chance
            self.fen = " ".join(f)
            return
        announced = announced_squares(text, answer, occupied_before, occupied_after)
        # When nothing is to be announced, a stray line would surface as a mismatch further on.
        if announced is not None:
            line = self.next_out()
            if line != "move " + announced:
                self.errors.append(f"line {lineno}: reshaping book answer announced as {line!r}, not move {announced}")
            self.notes.append(f"line {lineno}: book answer reshapes the board, announced as {line!r}")
        f = fen.split()
        rights = castling_rights_kept(f[2], answer)
        self.fen = f"{text_to_placement(answer)} {'b' if f[1] == 'w' else 'w'} {rights} - 0 1"

    def run(self):
        data = pathlib.Path(str(self.case) + ".in").read_bytes()
        lines = data.split(b"\n")
        if lines and lines[-1] == b"":
            lines.pop()
        stopped = False
        for lineno, raw in enumerate(lines, 1):
            word = first_word(raw)
            if not word:
                continue
            if word in ("menu", "new"):
                self.new_game()
                continue
            if word == "quit":
                stopped = True
                break
            if word in ("white2", "black2") or (word == "go" and self.engine_moves == 0 and self.engine_side == 0):
                self.engine_side = 1
                self.reply(lineno)
                continue
            if word.startswith("ii"):
                want = diagram(placement_to_text(self.fen.split()[0]))
                got = [self.next_out() for _ in want]
                if got != want:
                    self.errors.append(f"line {lineno}: diagram differs from {self.fen}")
                continue
            self.user_moves(word, lineno)
        rest = [l for l in self.out[self.pos:] if l != ""]
        if rest:
            self.errors.append(f"unexplained output {'after quit' if stopped else 'at the end'}: {rest[:3]}")
        return not self.errors


def main(paths):
    sf = Stockfish()
    failed = False
    for p in paths:
        case = pathlib.Path(p[:-3] if p.endswith(".in") else p)
        r = Replay(sf, case)
        ok = r.run()
        failed |= not ok
        print(f"{'ok  ' if ok else 'FAIL'} {case.name}: {r.moves_checked} moves checked")
        for n in r.notes:
            print(f"     note: {n}")
        for e in r.errors:
            print(f"     error: {e}")
    sf.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
