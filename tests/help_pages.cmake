# Lists the help file with 7z (the viewer under Wine shows pages blank, so they are checked from
# here) and fails unless it holds, under its exact name, every page the program opens.
# Usage: cmake -DCHM=<help.chm> -P help_pages.cmake
set(pages "index.htm" "2.1、设置.htm" "2.2、阶段计时.htm")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 7z l -slt ${CHM}
  OUTPUT_VARIABLE listing RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "7z could not list ${CHM}")
endif()
foreach(page IN LISTS pages)
  string(FIND "${listing}" "Path = ${page}\n" at)
  if(at EQUAL -1)
    message(SEND_ERROR "help.chm has no page \"${page}\"")
  endif()
endforeach()
