# Libraries the launcher needs only on some paths (the shell when it starts
# something or extracts icons, COM when a screen reader asks) are imported
# with delayed loading: each is loaded at the first call of one of its
# functions, not before the program's first instruction. The functions are
# listed in cmake/delay-imports/<name>.def; dlltool makes the delay-import
# library from it, and MinGW-w64's runtime supplies the loader. The loader
# uses LoadLibrary, which takes the system folder only once the program has
# restricted its DLL search at start-up.
#
# quorvane_delay_import(name): the INTERFACE library delay_<name> to link.
function(quorvane_delay_import name)
  set(def ${PROJECT_SOURCE_DIR}/cmake/delay-imports/${name}.def)
  set(lib ${PROJECT_BINARY_DIR}/delay-imports/lib${name}_delay.a)
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/delay-imports
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
    DEPENDS ${def}
    COMMENT "Making the delay-import library of ${name}"
    VERBATIM)
  add_custom_target(delay_${name}_library DEPENDS ${lib})
  add_library(delay_${name} INTERFACE)
  target_link_libraries(delay_${name} INTERFACE ${lib})
  add_dependencies(delay_${name} delay_${name}_library)
endfunction()
