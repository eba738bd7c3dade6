# The folders beside the program: sounds (short tones of our own, made at build time),
# picture and font (the user's files go there).
set(sound_dir ${BIN_DIR}/sounds)
set(make_wav ${CMAKE_CURRENT_LIST_DIR}/make-wav.sh)
set(sound_files)
# name:frequency in Hz:length in ms
foreach(tone IN ITEMS start.wav:880:300 Timeout.wav:660:400 Stop.wav:440:800 ding.wav:1320:250)
  string(REPLACE ":" ";" tone ${tone})
  list(GET tone 0 name)
  list(GET tone 1 frequency)
  list(GET tone 2 length)
  add_custom_command(OUTPUT ${sound_dir}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${sound_dir}
    COMMAND bash ${make_wav} ${sound_dir}/${name} ${frequency} ${length}
    DEPENDS ${make_wav}
    COMMENT "Making sounds/${name}"
    VERBATIM)
  list(APPEND sound_files ${sound_dir}/${name})
endforeach()
add_custom_target(program_files ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${BIN_DIR}/picture ${BIN_DIR}/font
  DEPENDS ${sound_files}
  VERBATIM)
