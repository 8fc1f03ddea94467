# The libFuzzer targets (clang only), all built by `deskplay_fuzzers`. Coverage guidance needs
# the code under test instrumented too, so each fuzzer compiles the sources it exercises again;
# the rest of the fuzz build stays plain.
if(DESKPLAY_FUZZ AND NOT TARGET deskplay_fuzzers)
  add_custom_target(deskplay_fuzzers)
endif()

set(DESKPLAY_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# The sources of `target`, as absolute paths, for a fuzzer to compile again.
function(deskplay_sources_of target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  set(paths "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${directory}" OUTPUT_VARIABLE path)
    list(APPEND paths "${path}")
  endforeach()
  set(${out} ${paths} PARENT_SCOPE)
endfunction()

# deskplay_add_fuzzer(name SOURCES … [INCLUDES …] [LIBRARIES …]): one fuzzer, added to
# `deskplay_fuzzers`. A `corpus` folder beside the calling CMakeLists.txt holds its seeds;
# the build links it beside the fuzzer as `<name>.corpus`, where scripts/run-fuzzers.sh
# looks for it.
function(deskplay_add_fuzzer name)
  cmake_parse_arguments(PARSE_ARGV 1 FUZZER "" "" "SOURCES;INCLUDES;LIBRARIES")
  add_executable(${name} ${FUZZER_SOURCES})
  target_include_directories(${name} PRIVATE ${FUZZER_INCLUDES})
  target_link_libraries(${name} PRIVATE ${FUZZER_LIBRARIES})
  target_compile_options(${name} PRIVATE ${DESKPLAY_FUZZ_FLAGS} -fno-omit-frame-pointer)
  target_link_options(${name} PRIVATE ${DESKPLAY_FUZZ_FLAGS})
  deskplay_warnings(${name})
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/corpus")
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E create_symlink "${CMAKE_CURRENT_SOURCE_DIR}/corpus"
              "$<TARGET_FILE:${name}>.corpus")
  endif()
  add_dependencies(deskplay_fuzzers ${name})
endfunction()
