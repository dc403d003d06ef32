#include "engine/moves_impl.h"

namespace quill {

template void make_move<WHITE, MoveList::Full>(PositionRecord&, std::int32_t);
template void make_move<BLACK, MoveList::Full>(PositionRecord&, std::int32_t);

}  // namespace quill
