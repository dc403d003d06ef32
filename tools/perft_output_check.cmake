# Runs the perft tool on one position and compares its whole output with a stored listing:
# one "from-to: count" line per legal root move in move-ordinal order, a blank line, then
# "Nodes searched: N". Invoked as
#   cmake -DPERFT=<tool> -DFEN=<fen> -DDEPTH=<n> -DEXPECTED=<file> -P perft_output_check.cmake
cmake_policy(SET CMP0007 NEW)  # keep the empty line in the list of output lines
execute_process(COMMAND ${PERFT} ${FEN} ${DEPTH}
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "perft exited with ${status}: ${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "perft output differs from ${EXPECTED}:\n${actual}")
endif()

# The shape of every line, so that a changed listing cannot pass with a broken format.
string(REGEX REPLACE "\n$" "" body "${actual}")
string(REPLACE "\n" ";" lines "${body}")
list(POP_BACK lines total_line)
list(POP_BACK lines blank_line)
if(NOT blank_line STREQUAL "" OR NOT total_line MATCHES "^Nodes searched: [0-9]+$")
  message(FATAL_ERROR "perft output does not end with a blank line and the node count")
endif()
set(sum 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[a-h][1-8][a-h][1-8]: ([0-9]+)$")
    message(FATAL_ERROR "malformed perft line: '${line}'")
  endif()
  math(EXPR sum "${sum} + ${CMAKE_MATCH_1}")
endforeach()
if(NOT total_line STREQUAL "Nodes searched: ${sum}")
  message(FATAL_ERROR "the root move counts add up to ${sum}, not to the total")
endif()
