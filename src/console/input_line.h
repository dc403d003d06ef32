// The one rule every console program of the project reads its input by.
#pragma once

#include <cstddef>

namespace quill {

// Of each input line only the first 799 characters count; the rest of the line is read and
// dropped, so an over-long line is still one line.
inline constexpr std::size_t MAX_LINE_LENGTH = 799;

}  // namespace quill
