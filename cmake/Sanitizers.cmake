# The sanitizer build instruments everything, tests included, so that a fault in a
# helper shows up in whichever test reaches it.
if(DESKPLAY_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
