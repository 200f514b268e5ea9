# Compiles through ccache when it is installed. Paths are made relative to the checkout
# (CCACHE_BASEDIR) and the build folder is left out of the hash (CCACHE_NOHASHDIR: debug
# information would otherwise name it), so a fresh clone in another folder hits the cache a
# previous build filled; the sloppiness settings let precompiled headers be cached too.
find_program(KV_CCACHE ccache)
if(KV_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${KV_CCACHE})
endif()
