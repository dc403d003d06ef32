// The search of a program_loop target's profile, compiled on its own so that it can do
// without comparison tracing (see fuzz/CMakeLists.txt); the target's game loop calls it.
#include "engine/search_impl.h"
#include "loop_profile.h"

namespace quill {

template std::int32_t search_root<fuzzing::LOOP_PROFILE>(SearchContext<fuzzing::LOOP_PROFILE>&, int, std::int32_t,
                                                         std::int32_t, PositionRecord&, Color, SearchOutputs&, int);

}  // namespace quill
