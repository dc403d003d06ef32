// The seven programs, one profile each.
#pragma once

#include "engine/build_profile.h"

namespace quill {

inline constexpr BuildProfile ENGINE_A{
    "engine-a", "Quillmoor Experimental WinBoard 5\n",
    "Quillmoor chess engine, the reference build: five-ply search, capture search at the leaves",
    false, GameLoopKind::Standard, Evaluation::Standard, Leaf::CaptureSearch,
    CaptureMethod::ValueTable};
inline constexpr BuildProfile ENGINE_B{
    "engine-b", "Quillmoor Experimental WinBoard 3.2\n",
    "Quillmoor chess engine: the capture search one ply earlier, quicker than engine-a",
    false, GameLoopKind::Standard, Evaluation::Standard, Leaf::NegatedCaptureSearch};
inline constexpr BuildProfile ENGINE_C{
    "engine-c", "Quillmoor 64,01,7b\n",
    "Quillmoor chess engine with varied play that announces the end of a game",
    true, GameLoopKind::Announcing, Evaluation::Noisy, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_D{
    "engine-d", "Quillmoor WinBoard 64,01,7\n",
    "Quillmoor chess engine with varied play",
    true, GameLoopKind::Standard, Evaluation::Noisy, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_E{
    "engine-e", "SonOfQuillmoor WinBoard 5.2.1\n",
    "Quillmoor chess engine, the quickest build, with the same answers on every run",
    false, GameLoopKind::Standard, Evaluation::Standard, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_F{
    "engine-f", "SonOfQuillmoor 5.2.1b\n",
    "Quillmoor chess engine: engine-e that announces the end of a game",
    false, GameLoopKind::Announcing, Evaluation::Standard, Leaf::NegatedEvaluation};
inline constexpr BuildProfile MOVECHECK{
    "movecheck", "Quillmoor Move Checker 7\n",
    "Quillmoor move checker: answers each move of a game ok or bad",
    true, GameLoopKind::MoveChecking, Evaluation::None, Leaf::None};

}  // namespace quill
