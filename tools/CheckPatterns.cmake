# Runs make_patterns into GENERATED and compares every file with COMMITTED.
file(MAKE_DIRECTORY ${GENERATED})
execute_process(COMMAND ${TOOL} ${GENERATED} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_patterns failed: ${result}")
endif()
foreach(name Shitaji.bmp Shitaji2.bmp Shitaji3.bmp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GENERATED}/${name} ${COMMITTED}/${name}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "res/patterns/${name} is not what make_patterns makes; rebuild the target 'patterns'")
  endif()
endforeach()
