# Runs Trelba and the reference model on every input in DATA/real under each code of CODES
# and fails on the first report that differs.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/tool" "${WORK}/model")
file(GLOB inputs "${DATA}/real/*")

# CODES: the runs, space-separated: variant arguments ("0" to "7", "9") and NCBI tables
# ("g2" runs `--gcode 2`, whose model needs NCBI_PYTHON).
separate_arguments(runs UNIX_COMMAND "${CODES}")

foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME)
  file(COPY "${input}" DESTINATION "${WORK}/tool")
  foreach(code IN LISTS runs)
    if(code MATCHES "^g([0-9]+)$")
      set(tool_args --gcode "${CMAKE_MATCH_1}" "${name}")
      set(python "${NCBI_PYTHON}")
    else()
      set(tool_args "${name}" "${code}")
      set(python "${PYTHON}")
    endif()
    execute_process(COMMAND "${TRELBA}" ${tool_args}
      WORKING_DIRECTORY "${WORK}/tool" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Trelba ${tool_args} exited with ${status}")
    endif()
    execute_process(COMMAND "${python}" "${MODEL}" "${input}" ${code} "${WORK}/model"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "reference model ${name} ${code} exited with ${status}")
    endif()
    foreach(ext iik ok freq)
      execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
        "${WORK}/tool/${name}.${ext}" "${WORK}/model/${name}.${ext}" RESULT_VARIABLE differ)
      if(differ)
        message(FATAL_ERROR "${name}.${ext} under code ${code} differs from the model")
      endif()
    endforeach()
  endforeach()
  message(STATUS "${name}: all codes agree")
endforeach()
