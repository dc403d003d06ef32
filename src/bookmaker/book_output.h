// Writing a whole book at once, so that no reader ever finds half of one.
#pragma once

#include <ostream>
#include <string>

namespace quill {

// Replaces the file at `path` by `data` atomically: the data goes into a new file in the same
// folder, is flushed to the disk, and is renamed over `path`. An existing file keeps its
// permissions. Returns false, after a message on `err`, leaving `path` as it was.
bool replace_file(const std::string& path, const std::string& data, std::ostream& err);

}  // namespace quill
