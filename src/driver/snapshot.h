// Whole-position copies: packing the game maps into a record, and the snapshot stack.
#pragma once

#include <array>

#include "board/types.h"

namespace quill {

inline constexpr int SNAPSHOT_SLOTS = 20;
using SnapshotStack = std::array<PositionRecord, SNAPSHOT_SLOTS>;

// The game loop's slots: the position the engine chooses from, the base typed moves are
// matched from, and the position before the engine's reply.
inline constexpr int CHOICE_SLOT = 4;
inline constexpr int MATCH_SLOT = 7;
inline constexpr int BEFORE_REPLY_SLOT = 18;

// Copies every game map into the record; no move has been made in it yet.
inline void pack_position(PositionRecord& record, const GameMaps& maps) {
    record = maps;
    record.move_made_flag = 0;
    record.white_move_ordinal = record.black_move_ordinal = 0;
}

inline void save_snapshot(SnapshotStack& stack, int slot, const PositionRecord& record) { stack.at(slot) = record; }
inline void restore_snapshot(const SnapshotStack& stack, int slot, PositionRecord& record) { record = stack.at(slot); }

}  // namespace quill
