# Project-wide compiler settings: strict warnings and the optional sanitizer build.
add_compile_options(-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(QUILLHAVEN_WERROR)
  add_compile_options(-Werror)
endif()
if(QUILLHAVEN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
