// The profile a program_loop target runs: the program named by QUILL_FUZZ_PROFILE, with a
// search that stops deepening after QUILL_FUZZ_REPLY_NODES nodes (see fuzz/CMakeLists.txt).
#pragma once

#include "builds/profiles.h"

#ifndef QUILL_FUZZ_PROFILE
#error "define QUILL_FUZZ_PROFILE as the build profile to fuzz, e.g. ENGINE_A"
#endif
#ifndef QUILL_FUZZ_REPLY_NODES
#define QUILL_FUZZ_REPLY_NODES 0  // 0: every search to its full depth
#endif

namespace quill::fuzzing {

inline constexpr BuildProfile LOOP_PROFILE = with_node_limit(QUILL_FUZZ_PROFILE, QUILL_FUZZ_REPLY_NODES);

}  // namespace quill::fuzzing
