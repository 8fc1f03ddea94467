# The ThreadSanitizer build (clang) instruments everything, tests included, like the ASan one;
# its suppressions (tsan.supp beside this file) cover only libraries built without it.
if(DESKPLAY_TSAN)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "DESKPLAY_TSAN needs clang (see the tsan preset)")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# clang checks the locking annotations of common/thread_annotations.hpp in every clang build;
# deskplay_warnings makes a broken one an error. GCC has no such analysis.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options(-Wthread-safety)
endif()

# deskplay_threaded_tests(target kind): labels the GoogleTest cases of `target` `kind` (unit,
# integration) and `threads`, the tests the tsan preset runs. gtest_discover_tests flattens a
# list of labels, so the labels are set once more after ctest has read the cases.
function(deskplay_threaded_tests target kind)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_threaded.cmake")
  set(labels ${kind} threads)
  file(WRITE "${script}"
    "if(DEFINED ${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${labels}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
