# Draws the built-in theme pictures into the build folder and compiles them
# into `target` through a generated .rc file.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VANTOREL_THEME_DIR ${CMAKE_CURRENT_LIST_DIR})

function(vantorel_theme_pictures target)
  set(out ${CMAKE_BINARY_DIR}/theme-pictures)
  set(rc ${out}/ThemePictures.rc)
  add_custom_command(OUTPUT ${rc}
    COMMAND Python3::Interpreter ${VANTOREL_THEME_DIR}/make-theme-pictures.py ${out} ${rc}
    DEPENDS ${VANTOREL_THEME_DIR}/make-theme-pictures.py ${VANTOREL_THEME_DIR}/palette.py
    COMMENT "Drawing the theme pictures")
  target_sources(${target} PRIVATE ${rc})
endfunction()
