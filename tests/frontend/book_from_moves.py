#!/usr/bin/env python3
"""Writes a book whose entries make a build play given replies: from the moves of one game in
coordinates (castling as the king's move, en passant as the pawn's, promotion to a queen by
reaching the last rank), each move of the engine's colour becomes one entry: the position
before it and the position after it, as whole-board texts (a8..h8, ..., a1..h1, blank for an
empty square) with CR LF line ends.

    book_from_moves.py white|black MOVE... > book.vbk
"""
import sys

START = "rnbqkbnrpppppppp" + " " * 32 + "PPPPPPPPRNBQKBNR"


def index(square):
    return (8 - int(square[1])) * 8 + (ord(square[0]) - ord("a"))


def play(board, move):
    b = list(board)
    frm, to = index(move[:2]), index(move[2:4])
    piece = b[frm]
    if piece in "Pp" and frm % 8 != to % 8 and b[to] == " ":
        b[frm - frm % 8 + to % 8] = " "  # en passant: the passed pawn beside the mover
    if piece in "Kk" and abs(frm - to) == 2:
        rook_from, rook_to = (frm + 3, frm + 1) if to > frm else (frm - 4, frm - 1)
        b[rook_to], b[rook_from] = b[rook_from], " "
    b[to], b[frm] = piece, " "
    if piece in "Pp" and to // 8 in (0, 7):
        b[to] = "Q" if piece == "P" else "q"
    return "".join(b)


def main():
    colour, moves = sys.argv[1], sys.argv[2:]
    first = 0 if colour == "white" else 1
    board = START
    out = sys.stdout.buffer
    for n, move in enumerate(moves):
        after = play(board, move)
        if n % 2 == first:
            out.write((board + "\r\n" + after + "\r\n").encode())
        board = after


main()
