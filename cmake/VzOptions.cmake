# Project-wide compiler settings, applied through the vz_options interface target.
add_library(vz_options INTERFACE)
target_compile_options(vz_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
if(VZ_WARNINGS_AS_ERRORS)
  target_compile_options(vz_options INTERFACE -Werror)
endif()

if(VZ_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(VZ_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT VZ_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VZ_SANITIZE must be empty, address or thread")
endif()

if(VZ_BUILD_FUZZ)
  # Libraries are instrumented for coverage; the fuzzer programs add libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
