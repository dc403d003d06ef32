// Search contexts for tests and tools that search one position after another.
#pragma once

#include "engine/search.h"

namespace quill {

// Empties the context's table of proven capture-search values, if the build keeps one, so
// that the nodes of the next search depend on its position alone.
template <const BuildProfile& P>
void forget_capture_values(SearchContext<P>& context) {
    if constexpr (P.capture_method == CaptureMethod::ValueTable) context.capture_values.clear();
}

}  // namespace quill
