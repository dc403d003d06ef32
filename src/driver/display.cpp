#include "driver/display.h"

#include "board/board_text.h"

namespace quill {

void show_board(std::ostream& out, const PositionRecord& boards, BoardText& text) {
    maps_to_board_text(boards, text);
    static constexpr const char* SEPARATOR =
        "   ------------------------          -------------------------\n";
    out << "   --   View For White   --          --   View For Black   ---\n"
        << "   ========================          =========================\n";
    for (int i = 0; i < 8; ++i) {
        // Left: rank 8 - i from file a to h. Right: rank i + 1 from file h to a.
        out << char('8' - i) << ' ';
        for (int f = 0; f < 8; ++f) out << '|' << text[i * 8 + f] << ' ';
        out << "|        " << char('1' + i) << ' ';
        for (int f = 7; f >= 0; --f) out << '|' << text[(7 - i) * 8 + f] << ' ';
        out << "|\n";
        if (i < 7) out << SEPARATOR;
    }
    out << "  =========================          =========================\n"
        << "    A  B  C  D  E  F  G  H             H  G  F  E  D  C  B  A  ";
}

}  // namespace quill
