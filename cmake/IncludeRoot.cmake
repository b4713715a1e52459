# The include roots in the build tree.
#
# Program code and the tools compile against TARVOLIN_INCLUDE_ROOT alone. It
# holds links to the program's layers (app, catalogue, controls, pages, scan,
# settings), its resources (res), tarvolin-scan's headers and the platform's
# public headers (platform/..., each linked one by one by
# platform_public_headers), and nothing else. The platform's internal headers
# stay in src/platform, which only the platform's own libraries and its own
# tests and benchmarks (platform_internals) have on their path, so an internal
# header included from program code is not found.
#
# Tests include their shared pieces as "tests/..." from TARVOLIN_TEST_INCLUDE_ROOT.
set(TARVOLIN_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)
set(TARVOLIN_TEST_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/test-include)

# Built afresh at each configure, so that a header no longer public leaves no
# link behind.
file(REMOVE_RECURSE ${TARVOLIN_INCLUDE_ROOT} ${TARVOLIN_TEST_INCLUDE_ROOT})

# tarvolin_include_link(<link> <file or folder>): makes <link> (a path in one
# of the roots) a symbolic link to a file or folder of the source tree.
function(tarvolin_include_link link target)
  cmake_path(GET link PARENT_PATH parent)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${target} ${link} SYMBOLIC)
endfunction()

foreach(layer app catalogue controls pages scan settings)
  tarvolin_include_link(${TARVOLIN_INCLUDE_ROOT}/${layer} ${PROJECT_SOURCE_DIR}/src/${layer})
endforeach()
tarvolin_include_link(${TARVOLIN_INCLUDE_ROOT}/res ${PROJECT_SOURCE_DIR}/res)
tarvolin_include_link(${TARVOLIN_INCLUDE_ROOT}/tools/tarvolin-scan ${PROJECT_SOURCE_DIR}/tools/tarvolin-scan)
tarvolin_include_link(${TARVOLIN_TEST_INCLUDE_ROOT}/tests ${PROJECT_SOURCE_DIR}/tests)

# platform_public_headers(<library> <header>...): the library's public
# headers, named relative to the current folder. Each is linked into the
# include root as platform/<its path below src/platform> and listed in the
# library's FILE_SET HEADERS there, so that whatever links the library gets
# the include root and these headers through it. The library's own sources
# also see src/, for the platform's internal headers.
define_property(GLOBAL PROPERTY TARVOLIN_PLATFORM_PUBLIC_HEADERS
  BRIEF_DOCS "The platform's public headers, as program code includes them")
function(platform_public_headers library)
  set(links)
  foreach(header IN LISTS ARGN)
    cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE file)
    cmake_path(RELATIVE_PATH file BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src OUTPUT_VARIABLE name)
    tarvolin_include_link(${TARVOLIN_INCLUDE_ROOT}/${name} ${file})
    list(APPEND links ${TARVOLIN_INCLUDE_ROOT}/${name})
    set_property(GLOBAL APPEND PROPERTY TARVOLIN_PLATFORM_PUBLIC_HEADERS ${name})
  endforeach()
  get_target_property(type ${library} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_sources(${library} INTERFACE FILE_SET HEADERS BASE_DIRS ${TARVOLIN_INCLUDE_ROOT} FILES ${links})
  else()
    target_sources(${library} PUBLIC FILE_SET HEADERS BASE_DIRS ${TARVOLIN_INCLUDE_ROOT} FILES ${links})
    target_include_directories(${library} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  endif()
endfunction()
