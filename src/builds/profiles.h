// The seven programs, one profile each.
#pragma once

#include "engine/build_profile.h"

namespace quill {

inline constexpr BuildProfile ENGINE_A{"engine-a", "Quillmoor Experimental WinBoard 5\n", false,
                                       GameLoopKind::Standard, Evaluation::Standard, Leaf::CaptureSearch,
                                       CaptureMethod::ValueTable};
inline constexpr BuildProfile ENGINE_B{"engine-b", "Quillmoor Experimental WinBoard 3.2\n", false,
                                       GameLoopKind::Standard, Evaluation::Standard, Leaf::NegatedCaptureSearch};
inline constexpr BuildProfile ENGINE_C{"engine-c", "Quillmoor 64,01,7b\n", true,
                                       GameLoopKind::Announcing, Evaluation::Noisy, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_D{"engine-d", "Quillmoor WinBoard 64,01,7\n", true,
                                       GameLoopKind::Standard, Evaluation::Noisy, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_E{"engine-e", "SonOfQuillmoor WinBoard 5.2.1\n", false,
                                       GameLoopKind::Standard, Evaluation::Standard, Leaf::NegatedEvaluation};
inline constexpr BuildProfile ENGINE_F{"engine-f", "SonOfQuillmoor 5.2.1b\n", false,
                                       GameLoopKind::Announcing, Evaluation::Standard, Leaf::NegatedEvaluation};
inline constexpr BuildProfile MOVECHECK{"movecheck", "Quillmoor Move Checker 7\n", true,
                                        GameLoopKind::MoveChecking, Evaluation::None, Leaf::None};

}  // namespace quill
