# Compiles through ccache when it is installed. The cache lives in ccache's own folder in the
# user's cache directory, outside every build tree and checkout, so a clean clone on the same
# machine (CI) compiles only what changed. Paths are taken relative to the checkout and the
# build folder is left out of the hash, so clones in other places hit the same entries;
# precompiled headers need the pch_defines and time_macros sloppiness.
option(DESKPLAY_CCACHE "Compile through ccache when it is installed" ON)
if(DESKPLAY_CCACHE)
  find_program(DESKPLAY_CCACHE_PROGRAM ccache)
  if(DESKPLAY_CCACHE_PROGRAM)
    set(deskplay_ccache_launcher
      "${CMAKE_COMMAND}" -E env
      "CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}"
      "CCACHE_NOHASHDIR=1"
      "CCACHE_MAXSIZE=12G"
      "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
      "${DESKPLAY_CCACHE_PROGRAM}")
    set(CMAKE_C_COMPILER_LAUNCHER ${deskplay_ccache_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${deskplay_ccache_launcher})
  endif()
endif()
