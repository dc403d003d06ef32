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
REGRESSIONS = os.path.join(HERE, "regressions")
START = "rnbqkbnrpppppppp" + " " * 32 + "PPPPPPPPRNBQKBNR"


def board(text_rows):
    """A 64-character board text from eight 8-character rows, rank 8 first."""
    text = "".join(text_rows)
    assert len(text) == 64, text
    return text


def write(target, name, data, root=CORPUS):
    folder = os.path.join(root, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def lines(*items):
    return "".join(item + "\n" for item in items).encode("latin-1")


def square(name):
    """Index of a square such as "e4" in a board text (a8 first, h1 last)."""
    return (8 - int(name[1])) * 8 + ord(name[0]) - ord("a")


def play(text, move):
    """The board text after a coordinate move, with castling (the king's two-square move), en
    passant and promotion to a queen made as in a game; no rule is checked."""
    t = list(text)
    src, dst = square(move[:2]), square(move[2:4])
    piece = t[src]
    if piece in "Kk" and abs(src - dst) == 2:
        rook_from, rook_to = (src + 3, src + 1) if dst > src else (src - 4, src - 1)
        t[rook_to], t[rook_from] = t[rook_from], " "
    if piece in "Pp" and src % 8 != dst % 8 and t[dst] == " ":
        t[dst + (8 if piece == "P" else -8)] = " "
    t[dst], t[src] = piece, " "
    if piece == "P" and dst < 8:
        t[dst] = "Q"
    if piece == "p" and dst >= 56:
        t[dst] = "q"
    return "".join(t)


def book(entries):
    """A book file (CR LF records) from (key, answer) pairs."""
    return "".join(key + "\r\n" + answer + "\r\n" for key, answer in entries)


def line_books(moves):
    """The white and the black book that play a line of moves for both sides: each book answers
    the positions in which its colour is to move along the line."""
    entries = ([], [])
    text = START
    for ply, move in enumerate(moves):
        after = play(text, move)
        entries[ply % 2].append((text, after))
        text = after
    return book(entries[0]), book(entries[1])


def with_books(white, black, *commands):
    """An engine input with its own books: choice byte 1, the books, then the lines."""
    return b"\x01" + white.encode("latin-1") + b"\x1e" + black.encode("latin-1") + b"\x1e" + lines(*commands)


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


SHIPPED_BOOKS = b"\x00"
NO_BOOKS = b"\x02"

# A French Advance in which both sides castle short, played from both books.
FRENCH = ["e2e4", "e7e6", "d2d4", "d7d5", "e4e5", "c7c5", "c2c3", "b8c6", "g1f3", "d8b6", "f1d3", "c8d7",
          "e1g1", "c5d4", "c3d4", "g8e7", "b1c3", "e7f5", "c1e3", "f8e7", "a1c1", "e8g8"]
# The engine's book walks its king to f1 and back, and its castling stays in the air.
KING_WALK = ["g1f3", "d7d5", "b1c3", "g8f6", "d2d3", "e7e6", "c1g5", "f8e7", "e2e3", "e8g8", "f1e2", "a7a6",
             "e1f1", "a6a5", "f1e1"]


def engine_seeds(target):
    rng = random.Random(target)
    # Engine as Black along the black book's Ruy Lopez, leaving it with h2h3 (one search).
    write(target, "book_line_as_black.txt",
          SHIPPED_BOOKS + lines("e2e4", "g1f3", "f1b5", "b5a4", "e1g1", "f1e1", "a4b3", "c2c3", "h2h3", "quit"))
    # An xboard session: the engine takes White with "go" and answers from the white book.
    write(target, "xboard_engine_white.txt",
          SHIPPED_BOOKS + lines("xboard", "protover 2", "accepted done", "new", "random", "level 40 5 0", "post",
                                "hard", "time 100", "otim 100", "go", "e7e5", "time 95", "b8c6", "a7a6", "g8f6",
                                "f8e7", "b7b5", "d7d6", "quit"))
    # Command words and spellings, all answered from the books.
    write(target, "commands.txt",
          SHIPPED_BOOKS + lines("", "   ", "ii", "new", "go", "go", "ii", "menu", "E2E4", "ii", "new", "e2e4q extra",
                                "new", "white2", "new", "e7e5", "e2e5", "d2d4", "menu", "quit", "e2e4"))
    # Bytes of every kind around two book moves; a lone CR does not end a line.
    write(target, "garbage.bin",
          SHIPPED_BOOKS + garbage(rng, 40) + b"e2e4\r\n\x00\xff\xfe\r\r\rg1f3\rii\n" + b"y" * 2000 + b"\nquit\n")
    # Thousands of lines, a board diagram among them, and a book move at the end.
    write(target, "many_lines.txt",
          SHIPPED_BOOKS + short_lines(rng, 3000) + b"ii\n" + b"\n" * 500 + b"e2e4\n")
    # "white2" after a book reply hands White to the engine in a position of its own making.
    write(target, "white2_after_reply.txt", SHIPPED_BOOKS + lines("e2e4", "white2", "quit"))
    # A longer game out of the books with castling, en passant and promotion tries; the
    # replies differ by build, so some of these moves are rejected as illegal.
    write(target, "long_game.txt",
          NO_BOOKS + lines("a2a4", "b2b4", "a4a5", "b4b5", "a5a6", "a6b7", "b7a8q", "b7c8q", "e2e4", "e4e5",
                           "g1f3", "f1c4", "e1g1", "d2d4", "d4d5", "c1f4", "ii", "quit"))
    # Books of the seeds' own: a line played from the white book (the engine as White) and
    # from the black book (the engine as Black), castling on both sides.
    white, black = line_books(FRENCH)
    write(target, "own_books_both_colours.txt",
          with_books(white, black, "go", *FRENCH[1::2], "ii", "new", *FRENCH[0::2], "ii", "quit"))
    # The engine's white book walks its king; the user then castles, attacks and waits.
    white, black = line_books(KING_WALK)
    write(target, "own_book_walks_the_king.txt",
          with_books(white, "", "go", *KING_WALK[1::2], "b8d7", "c7c5", "d8c7", "h7h6", "ii"))
    # The user walks a king and tries to castle: refused, as the rules want.
    write(target, "user_walks_the_king.txt",
          NO_BOOKS + lines("g1f3", "g2g3", "f1g2", "e1f1", "f1e1", "e1g1", "ii", "h1g1", "g1h1", "e1g1", "quit"))
    # Book answers that are no single move: two moves at once, a piece of the user's taken
    # off, and the key itself (the engine moves nothing).
    e4 = play(START, "e2e4")
    two_moves = play(play(e4, "e7e5"), "g8f6")
    d4 = play(START, "d2d4")
    no_queen = play(d4, "d7d5")[:59] + " " + play(d4, "d7d5")[60:]
    c4 = play(START, "c2c4")
    write(target, "book_answers_no_moves.txt",
          with_books("", book([(e4, two_moves), (d4, no_queen), (c4, c4)]), "e2e4", "d2d4", "ii", "new", "d2d4",
                     "g1f3", "new", "c2c4", "ii", "g1f3", "quit"))


def movecheck_seeds():
    target = "movecheck"
    rng = random.Random(target)
    write(target, "fools_mate.txt", NO_BOOKS + lines("f2f3", "e7e5", "g2g4", "d8h4", "a2a3", "new", "vgo", "e2e4"))
    write(target, "castling.txt",
          NO_BOOKS + lines("b1c3", "b8c6", "c3a4", "d7d6", "a4c5", "c8e6", "c5a6", "d8d7", "g1f3", "e8c8",
                "e2e4", "h7h6", "f1e2", "h6h5", "e1g1"))
    write(target, "en_passant.txt",
          NO_BOOKS + lines("e2e4", "a7a6", "e4e5", "d7d5", "e5d6", "c7d6", "new", "a2a3", "d7d5", "a3a4", "d5d4",
                "e2e4", "d4e3", "d2e3"))
    write(target, "promotion.txt",
          NO_BOOKS + lines("a2a4", "b7b5", "a4b5", "a7a6", "b5a6", "c8b7", "a6b7", "b8c6", "b7a8q", "g7g6",
                "a8b8", "ii"))
    write(target, "stalemate.txt",
          NO_BOOKS + lines("e2e3", "a7a5", "d1h5", "a8a6", "h5a5", "h7h5", "h2h4", "a6h6", "a5c7", "f7f6",
                "c7d7", "e8f7", "d7b7", "d8d3", "b7b8", "d3h7", "b8c8", "f7g6", "c8e6", "e2e4"))
    write(target, "commands.txt",
          NO_BOOKS + lines("white2", "e2e4", "black2", "e7e5", "vgo", "go", "menu", "E2E4", "e7E5", "ii", "quit"))
    write(target, "garbage.bin", NO_BOOKS + garbage(rng, 60) + b"e2e4\r\n\x00\x1a\r\rd7d5\n")
    write(target, "many_lines.txt", NO_BOOKS + short_lines(rng, 3000) + b"ii\n" + lines("e2e4", "e7e5") * 200)


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


def search_seeds():
    target = "search_position"
    pieces = "KQRBNPkqrbnp"

    def encode(build, fen):
        placement, side, rights, passant = fen.split()[:4]
        flags = (1 if side == "b" else 0) | sum(2 << i for i, r in enumerate("KQkq") if r in rights)
        data = bytearray([build, flags, 8 if passant == "-" else ord(passant[0]) - ord("a")])
        for row, rank_text in enumerate(placement.split("/")):
            file = 0
            for c in rank_text:
                if c.isdigit():
                    file += int(c)
                    continue
                data += bytes([(7 - row) * 8 + file, pieces.index(c)])
                file += 1
        return bytes(data)

    positions = [
        ("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
        ("kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"),
        ("rook_endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -"),
        ("promotions", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -"),
        ("promotions_black", "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -"),
        ("discovered", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -"),
        ("castling_through_check", "r3k2r/8/8/8/8/8/5q2/R3K2R w KQkq -"),
        ("en_passant_pinned", "8/8/8/KPp4r/8/8/8/7k w - c"),
        ("en_passant_black", "4k3/8/8/8/3pP3/8/8/4K3 b - e"),
        ("stalemate", "7k/5Q2/6K1/8/8/8/8/8 b - -"),
        ("mate_in_one", "R5nk/5ppp/3N4/8/8/8/1B6/1Q2K3 w - -"),
        ("no_kings", "8/8/3q4/8/8/3Q4/8/8 w - -"),
        ("nine_queens", "QQQQQQQQ/Q7/8/8/8/8/7q/k6K w - -"),
    ]
    for i, (name, fen) in enumerate(positions):
        fields = fen.split()
        if fields[3] != "-" and len(fields[3]) == 1:  # a file only: the harness finds the square
            fields[3] = fields[3] + ("6" if fields[1] == "w" else "3")
        write(target, name + ".bin", encode(i % 6, " ".join(fields)))


def regression_inputs():
    """Inputs that once showed a fault, kept to show it stays mended: fuzz/run.sh replays them
    before fuzzing."""
    target = "engines"
    # A book answer that is a double step beside the user's pawn gives the user en passant
    # (the Giuoco Piano line written with bookbuilder: its records are the same).
    giuoco = ["e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "f8c5", "c2c3", "g8f6", "d2d4", "e5d4", "e4e5", "d7d5"]
    white, black = line_books(giuoco)
    write(target, "book_double_step_then_en_passant.txt", with_books("", black, *giuoco[0::2], "e5d6"),
          REGRESSIONS)
    # A book answer that empties a1 takes White's long castling away, even when a rook comes
    # back to a1.
    e4 = play(START, "e2e4")
    answer = list(play(e4, "e7e5"))
    for name, piece in (("a1", " "), ("b1", "R"), ("c1", " "), ("d1", " ")):
        answer[square(name)] = piece
    write(target, "book_empties_a1_then_castles.txt",
          with_books("", book([(e4, "".join(answer))]), "e2e4", "b1a1", "e1c1"), REGRESSIONS)


if __name__ == "__main__":
    engine_seeds("engines")
    movecheck_seeds()
    book_seeds()
    bookbuilder_seeds()
    search_seeds()
    regression_inputs()
