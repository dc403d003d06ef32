// Searching in tests and tools: the node-by-node form of engine-a, and emptying a search
// context's value table between positions.
#pragma once

#include "builds/profiles.h"
#include "engine/search.h"

namespace quill {

// The same build with its capture search taking the node-by-node walk: the form whose node
// counts, the reference node counts, the behaviour signature and the equivalence tests compare.
constexpr BuildProfile every_node(BuildProfile p) {
    p.capture_method = CaptureMethod::EveryNode;
    return p;
}

// engine-a with the capture search taking the node-by-node walk; it chooses the same moves,
// and its node counts are the reference node counts. (engine-b's capture search stops almost
// at once, since it stands pat for the side that has just moved: it walks every node, a table
// would cost it more than it saves.)
inline constexpr BuildProfile ENGINE_A_EVERY_NODE = every_node(ENGINE_A);

// Empties the context's table of proven capture-search values, if the build keeps one, so
// that the nodes of the next search depend on its position alone.
template <const BuildProfile& P>
void forget_capture_values(SearchContext<P>& context) {
    if constexpr (P.capture_method == CaptureMethod::ValueTable) context.capture_values.clear();
}

}  // namespace quill
