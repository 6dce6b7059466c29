# Runs Trelba and the reference model on every input in DATA/real under every genetic code
# and fails on the first report that differs.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/tool" "${WORK}/model")
file(GLOB inputs "${DATA}/real/*")
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME)
  file(COPY "${input}" DESTINATION "${WORK}/tool")
  foreach(code 0 1 2 3 4 5 6 7 9)
    execute_process(COMMAND "${TRELBA}" "${name}" ${code}
      WORKING_DIRECTORY "${WORK}/tool" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Trelba ${name} ${code} exited with ${status}")
    endif()
    execute_process(COMMAND "${PYTHON}" "${MODEL}" "${input}" ${code} "${WORK}/model"
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
