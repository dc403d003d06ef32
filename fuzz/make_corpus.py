#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/ (run from anywhere).

The seeds are small hand-made inputs that reach the interesting parts of each program at
once: legal games that stay in the sample books (fast replies) and leave them (searched
replies), xboard sessions, the command words, the board diagram, and garbage of every kind.
The files are committed; this script only documents how they were made and remakes them.
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
START = "rnbqkbnrpppppppp" + " " * 32 + "PPPPPPPPRNBQKBNR"


def board(text_rows):
    """A 64-character board text from eight 8-character rows, rank 8 first."""
    text = "".join(text_rows)
    assert len(text) == 64, text
    return text


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def lines(*items):
    return "".join(item + "\n" for item in items).encode("latin-1")


def garbage(rng, count):
    """Lines of mixed junk: binary bytes, NUL, lone CR, tabs, near-moves and over-long lines."""
    pieces = []
    for _ in range(count):
        kind = rng.randrange(8)
        if kind == 0:
            pieces.append(bytes(rng.randrange(256) for _ in range(rng.randrange(1, 40))).replace(b"\n", b""))
        elif kind == 1:
            pieces.append(b"\x00e2e4\x00")
        elif kind == 2:
            pieces.append(b"e2\re4\rii\r")
        elif kind == 3:
            pieces.append(b"\t  \v\f ")
        elif kind == 4:
            pieces.append(rng.choice([b"e2e5", b"e7e5", b"i9j9", b"e2", b"e2e", b"zz", b"i", b"goo", b"quitx"]))
        elif kind == 5:
            pieces.append(b"x" * rng.randrange(790, 1200))
        elif kind == 6:
            pieces.append(b"")
        else:
            pieces.append(rng.choice([b"xboard", b"protover 2", b"level 40 5 0", b"hard", b"post", b"time 100"]))
    return b"\n".join(pieces) + b"\n"


def short_lines(rng, count):
    """Many short lines: blanks, single bytes, fragments of words and moves."""
    items = [b"", b" ", b"\t", b"i", b"zz", b"\x00", b"\r", b"e2", b"e9e4", b"new2", b"\xff", b"go!"]
    return b"\n".join(rng.choice(items) for _ in range(count)) + b"\n"


def engine_seeds(target):
    rng = random.Random(target)
    # Engine as Black along the black book's Ruy Lopez, leaving it with h2h3 (one search).
    write(target, "book_line_as_black.txt",
          lines("e2e4", "g1f3", "f1b5", "b5a4", "e1g1", "f1e1", "a4b3", "c2c3", "h2h3", "quit"))
    # An xboard session: the engine takes White with "go" and answers from the white book.
    write(target, "xboard_engine_white.txt",
          lines("xboard", "protover 2", "accepted done", "new", "random", "level 40 5 0", "post",
                "hard", "time 100", "otim 100", "go", "e7e5", "time 95", "b8c6", "a7a6", "g8f6",
                "f8e7", "b7b5", "d7d6", "quit"))
    # Command words and spellings, all answered from the books.
    write(target, "commands.txt",
          lines("", "   ", "ii", "new", "go", "go", "ii", "menu", "E2E4", "ii", "new", "e2e4q extra",
                "new", "white2", "new", "e7e5", "e2e5", "d2d4", "menu", "quit", "e2e4"))
    # Bytes of every kind around two book moves; a lone CR does not end a line.
    write(target, "garbage.bin",
          garbage(rng, 40) + b"e2e4\r\n\x00\xff\xfe\r\r\rg1f3\rii\n" + b"y" * 2000 + b"\nquit\n")
    # Thousands of lines, a board diagram among them, and a book move at the end.
    write(target, "many_lines.txt",
          short_lines(rng, 3000) + b"ii\n" + b"\n" * 500 + b"e2e4\n")
    # "white2" after a book reply hands White to the engine in a position of its own making.
    write(target, "white2_after_reply.txt", lines("e2e4", "white2", "quit"))
    # A longer game out of the books with castling, en passant and promotion tries; the
    # replies differ by build, so some of these moves are rejected as illegal.
    write(target, "long_game.txt",
          lines("a2a4", "b2b4", "a4a5", "b4b5", "a5a6", "a6b7", "b7a8q", "b7c8q", "e2e4", "e4e5",
                "g1f3", "f1c4", "e1g1", "d2d4", "d4d5", "c1f4", "ii", "quit"))


def movecheck_seeds():
    target = "movecheck"
    rng = random.Random(target)
    write(target, "fools_mate.txt", lines("f2f3", "e7e5", "g2g4", "d8h4", "a2a3", "new", "vgo", "e2e4"))
    write(target, "castling.txt",
          lines("b1c3", "b8c6", "c3a4", "d7d6", "a4c5", "c8e6", "c5a6", "d8d7", "g1f3", "e8c8",
                "e2e4", "h7h6", "f1e2", "h6h5", "e1g1"))
    write(target, "en_passant.txt",
          lines("e2e4", "a7a6", "e4e5", "d7d5", "e5d6", "c7d6", "new", "a2a3", "d7d5", "a3a4", "d5d4",
                "e2e4", "d4e3", "d2e3"))
    write(target, "promotion.txt",
          lines("a2a4", "b7b5", "a4b5", "a7a6", "b5a6", "c8b7", "a6b7", "b8c6", "b7a8q", "g7g6",
                "a8b8", "ii"))
    write(target, "stalemate.txt",
          lines("e2e3", "a7a5", "d1h5", "a8a6", "h5a5", "h7h5", "h2h4", "a6h6", "a5c7", "f7f6",
                "c7d7", "e8f7", "d7b7", "d8d3", "b7b8", "d3h7", "b8c8", "f7g6", "c8e6", "e2e4"))
    write(target, "commands.txt",
          lines("white2", "e2e4", "black2", "e7e5", "vgo", "go", "menu", "E2E4", "e7E5", "ii", "quit"))
    write(target, "garbage.bin", garbage(rng, 60) + b"e2e4\r\n\x00\x1a\r\rd7d5\n")
    write(target, "many_lines.txt", short_lines(rng, 3000) + b"ii\n" + lines("e2e4", "e7e5") * 200)


def book_seeds():
    target = "book_lookup"
    e4 = board(["rnbqkbnr", "pppppppp", "        ", "        ", "    P   ", "        ", "PPPP PPP", "RNBQKBNR"])
    e4e5 = board(["rnbqkbnr", "pppp ppp", "        ", "    p   ", "    P   ", "        ", "PPPP PPP", "RNBQKBNR"])
    nf3 = board(["rnbqkbnr", "pppppppp", "        ", "        ", "        ", "     N  ", "PPPPPPPP", "RNBQKB R"])
    queens = board(["QQQQQQQQ", "qqqqqqqq", "QQQQQQQQ", "kkkKKKnn", "NNNNNNNN", "bbbbBBBB", "PPPPPPPP", "pppppppp"])
    empty = " " * 64
    crlf = lambda *records: "".join(r + "\r\n" for r in records)
    lf = lambda *records: "".join(r + "\n" for r in records)
    write(target, "example_crlf.vbk", crlf(START, nf3))
    write(target, "chain_lf.vbk", lf(START, e4, e4, e4e5, e4e5, nf3))
    write(target, "ctrl_z_and_odd.vbk", crlf(empty, START, START, e4) + "\x1a" + crlf(START, nf3) + START)
    write(target, "garbled_answers.vbk",
          crlf(START, queens, queens, empty, empty, "?" * 64, nf3, START.replace("K", "k")))
    write(target, "misaligned.vbk", crlf(START[:60], START, e4, "x" * 70, START, nf3) + "\r\r\r" + START)
    for name in ("wbook.vbk", "bbook.vbk"):
        with open(os.path.join(HERE, "..", "books", name), "rb") as f:
            write(target, "shipped_" + name, f.read())


def bookbuilder_seeds():
    target = "bookbuilder_loop"
    rng = random.Random(target)
    record = lambda text: text + "\r\n"

    def seed(book, commands):
        book = book.encode("latin-1") if isinstance(book, str) else book
        assert len(book) < 256
        return bytes([len(book)]) + book + commands

    write(target, "key_and_answer.bin", seed("", lines("d2d4", "w", "d7d5", "w")))
    write(target, "every_command.bin",
          seed("", lines("?", "!", "z", "Z", "sNd3", "sqd6", "s", "S", "h", "e2e2", "a8a8", "E2e3",
                         "menu", "sNz9", "w2", "W", "d2d4 e7e5", "   ", "")))
    write(target, "three_records.bin", seed(record(START) * 3, lines("w", "e2e4", "w")))
    write(target, "lf_book_with_ctrl_z.bin",
          seed(START + "\n" + START[:20] + "\x1a" + START + "\r\r", lines("w", "s\x1ae4", "s\x00e4", "s\re4", "w")))
    write(target, "garbage.bin", seed("", garbage(rng, 60) + b"w\n"))
    write(target, "many_lines.bin", seed("", short_lines(rng, 2000) + b"w\n" * 20))


if __name__ == "__main__":
    engine_seeds("engines")
    movecheck_seeds()
    book_seeds()
    bookbuilder_seeds()
