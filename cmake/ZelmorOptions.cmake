# SPDX-License-Identifier: MIT
# Compiler settings shared by every target of the project.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_library(zelmor_options INTERFACE)
target_compile_options(zelmor_options INTERFACE -Wall -Wextra)
# GCC 12 reports std::vector insertions after a brace-initialised vector as out of bounds at -O2
# (a known false positive of that release); the sanitizer build checks bounds for real.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(zelmor_options INTERFACE -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
endif()
if(ZELMOR_WARNINGS_AS_ERRORS)
  target_compile_options(zelmor_options INTERFACE -Werror)
endif()
target_compile_definitions(zelmor_options INTERFACE QT_NO_KEYWORDS)

if(ZELMOR_SANITIZE)
  add_compile_options(-fsanitize=${ZELMOR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZELMOR_SANITIZE})
endif()

# Installs data files beside the program in the build tree, so programs and tests find them.
set(ZELMOR_DATA_DIR ${CMAKE_BINARY_DIR}/data)
