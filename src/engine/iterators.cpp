#include "engine/iterators_impl.h"

namespace quill {

template int make_next_move<WHITE, MoveList::Full, false>(PositionRecord&);
template int make_next_move<BLACK, MoveList::Full, false>(PositionRecord&);
template int make_next_move<WHITE, MoveList::Full, true>(PositionRecord&);
template int make_next_move<BLACK, MoveList::Full, true>(PositionRecord&);

}  // namespace quill
