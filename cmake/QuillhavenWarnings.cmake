# Project-wide compiler settings: strict warnings and the optional sanitizer build.
add_compile_options(-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(QUILLHAVEN_WERROR)
  add_compile_options(-Werror)
endif()
# QUILLHAVEN_SANITIZE: OFF, ON (AddressSanitizer and UndefinedBehaviorSanitizer) or thread
# (ThreadSanitizer, which cannot be combined with the other two).
if(QUILLHAVEN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(QUILLHAVEN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# QUILLHAVEN_FUZZ: every object carries libFuzzer's coverage hooks; the fuzz targets link
# libFuzzer itself (tests/fuzz).
if(QUILLHAVEN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUILLHAVEN_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
