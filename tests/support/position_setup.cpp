#include "support/position_setup.h"

#include <sstream>
#include <string>

#include "board/attack_maps.h"
#include "board/board_text.h"

namespace quill {

std::optional<SetupPosition> position_from_fen(std::string_view fen) {
    std::istringstream in{std::string(fen)};
    std::string placement, side = "w", rights = "-", ep = "-";
    if (!(in >> placement)) return std::nullopt;
    in >> side >> rights >> ep;

    // Placement into a BoardText, rank 8 first as the text runs.
    BoardText text = make_board_text("");
    int j = 0;
    for (char ch : placement) {
        if (ch == '/') {
            if (j % 8 != 0) return std::nullopt;
            continue;
        }
        if (ch >= '1' && ch <= '8') {
            j += ch - '0';
        } else {
            if (PieceLetters.find(ch) >= PIECE_BOARD_COUNT || j >= BOARD_TEXT_LENGTH) return std::nullopt;
            text[j++] = ch;
        }
        if (j > BOARD_TEXT_LENGTH) return std::nullopt;
    }
    if (j != BOARD_TEXT_LENGTH || (side != "w" && side != "b")) return std::nullopt;

    SetupPosition p;
    p.side_to_move = side == "w" ? WHITE : BLACK;
    board_text_to_maps(p.record, text);
    if (rights != "-") {
        for (char ch : rights) {
            std::uint8_t& flags = (ch == 'K' || ch == 'Q' ? p.record.white_castling : p.record.black_castling)[CASTLE_FLAGS_BYTE];
            switch (ch) {
                case 'K': case 'k': flags |= CASTLE_KING_RIGHT | CASTLE_SHORT_ROOK; break;
                case 'Q': case 'q': flags |= CASTLE_KING_RIGHT | CASTLE_LONG_ROOK; break;
                default: return std::nullopt;
            }
        }
    }
    if (ep != "-") {
        if (ep.size() != 2 || ep[0] < 'a' || ep[0] > 'h') return std::nullopt;
        castling(p.record, p.side_to_move)[EN_PASSANT_BYTE] = file_mask(ep[0] - 'a');
    }
    generate_moves(p.record);
    return p;
}

}  // namespace quill
