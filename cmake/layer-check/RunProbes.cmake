# cmake -DBUILD_DIR=... -P RunProbes.cmake: builds the two probes of the
# layer check in BUILD_DIR. Passes when the control probe builds and the Qt
# probe fails because <QString> is not found.
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

build_probe(layer_probe_qt result output)
if(result EQUAL 0)
  message(FATAL_ERROR "A program file including <QString> built: program targets reach Qt's headers.\n${output}")
endif()
if(NOT output MATCHES "QString: No such file or directory|'QString' file not found")
  message(FATAL_ERROR "The Qt probe failed, but not for want of <QString>:\n${output}")
endif()
string(REGEX MATCH "[^\n]*QString[^\n]*(No such file or directory|file not found)[^\n]*" line "${output}")
message(STATUS "Program code cannot include Qt: ${line}")
