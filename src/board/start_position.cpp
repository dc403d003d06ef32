#include "board/start_position.h"

#include "board/attack_maps.h"
#include "board/board_text.h"

namespace quill {

GameMaps start_position() {
    GameMaps maps{};
    maps.white_castling = WHITE_CASTLING_START;
    maps.black_castling = BLACK_CASTLING_START;
    board_text_to_maps(maps, make_board_text(START_TEXT));
    build_attack_maps(maps);
    return maps;
}

}  // namespace quill
