// The capture list and its iterators: only the builds with a capture search link this.
#include "engine/iterators_impl.h"
#include "engine/moves_impl.h"

namespace quill {

template void make_move<WHITE, MoveList::Captures>(PositionRecord&, std::int32_t);
template void make_move<BLACK, MoveList::Captures>(PositionRecord&, std::int32_t);
template int make_next_move<WHITE, MoveList::Captures, false>(PositionRecord&);
template int make_next_move<BLACK, MoveList::Captures, false>(PositionRecord&);

}  // namespace quill
