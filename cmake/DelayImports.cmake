# Libraries the launcher needs only on some paths (the shell when it starts
# something or extracts icons, COM when a screen reader asks) are imported
# with delayed loading: each is loaded at the first call of one of its
# functions, not before the program's first instruction. The functions are
# listed in cmake/delay-imports/<name>.def; dlltool makes the delay-import
# library from it, and MinGW-w64's runtime supplies the loader. The loader
# uses LoadLibrary, which takes the system folder only: every program restricts
# its DLL search first thing in its entry point, and ends with a message when a
# library or a function cannot be had (framework/afxload.h).
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

# quorvane_delay_import_ahead(target name): `target` takes every function of
# <name>.def from the delay-import library even where another library it links
# imports <name> as usual (quorvane_core the common controls): the library goes
# first on the link line, and each function's import is marked wanted from the
# start, so that the linker takes it from the first library that has it. Call
# it before linking the target's other libraries; quorvane_delay_import(name)
# must have been called.
function(quorvane_delay_import_ahead target name)
  file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/delay-imports/${name}.def lines)
  set(exports FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(exports TRUE)
    elseif(exports AND line MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      target_link_options(${target} PRIVATE "LINKER:--undefined=__imp_${line}")
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE delay_${name})
endfunction()
