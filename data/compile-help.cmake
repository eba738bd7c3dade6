# Compiles the help project PROJECT into OUTPUT with the CHM compiler CHMCMD, in the current
# folder. The compiler greets on every run and answers 0 even when it fails: its output is shown
# only when the file was not made.
execute_process(COMMAND ${CHMCMD} ${PROJECT} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "${output}")
endif()
