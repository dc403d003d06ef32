# Compiler and linker flags for the fuzzing build (QUILL_FUZZ=ON): every library and program is
# built with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's coverage hooks, so a
# fault anywhere below a fuzz target is caught, and assertions stay on whatever the build type.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "QUILL_FUZZ needs clang with libFuzzer, e.g. CXX=clang++-14 "
                      "(Debian packages clang-14 and libclang-rt-14-dev)")
endif()
set(QUILL_FUZZ_FLAGS
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g -UNDEBUG
    CACHE STRING "Compiler flags of the fuzzing build (a ;-list)")
add_compile_options(${QUILL_FUZZ_FLAGS})
add_link_options(-fsanitize=address,undefined)
