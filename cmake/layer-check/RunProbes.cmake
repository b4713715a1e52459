# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -P RunProbes.cmake: builds the three
# probes of the layer check in BUILD_DIR. Passes when the control probe builds
# and the Qt probe and the internal probe fail because their header is not
# found; then looks for includes that climb out of the include root.
function(build_probe target result_var output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

build_probe(layer_probe_control result output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The control probe, a program file without Qt, did not build:\n${output}")
endif()

# A probe that must fail for want of one header: what it includes, and what
# program code reaching it would mean.
function(expect_not_found target header meaning)
  build_probe(${target} result output)
  if(result EQUAL 0)
    message(FATAL_ERROR "A program file including ${header} built: ${meaning}.\n${output}")
  endif()
  string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${header}")
  if(NOT output MATCHES "${pattern}: No such file or directory|'${pattern}' file not found")
    message(FATAL_ERROR "The probe including ${header} failed, but not for want of it:\n${output}")
  endif()
  string(REGEX MATCH "[^\n]*${pattern}[^\n]*(No such file or directory|file not found)[^\n]*" line "${output}")
  message(STATUS "Program code cannot include ${header}: ${line}")
endfunction()

expect_not_found(layer_probe_qt "QString" "program targets reach Qt's headers")
expect_not_found(layer_probe_internal "platform/devices/Scenario.h" "program targets reach the platform's internals")

# "../" in an include reaches past any include root; program code and the
# tools name what they include from the root.
file(GLOB_RECURSE sources ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/res/*.h ${SOURCE_DIR}/res/*.cpp
     ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.c)
list(FILTER sources EXCLUDE REGEX "/src/platform/")
set(climbing)
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]\\.\\./")
  if(lines)
    list(APPEND climbing "${source}: ${lines}")
  endif()
endforeach()
if(climbing)
  list(JOIN climbing "\n" climbing)
  message(FATAL_ERROR "Includes that climb out of the include root:\n${climbing}")
endif()
list(LENGTH sources count)
message(STATUS "No include climbs out of the include root in ${count} program and tool files")
