# The build number: the third field of every version the build writes
# (QUORVANE_VERSION = major.minor.build: the package, the programs' version
# resources and manifest), the last field Windows Installer compares, so that
# an older build of a version is refused like an older version.
#
#   -DQUORVANE_BUILD_NUMBER=<n>   the maker's own number (0 to 65535)
#   (not given)                   the number of commits in the source's git
#                                 history up to HEAD; a new commit configures
#                                 the build again. A source without its history
#                                 (an export) gets 0, with a warning.
# A build numbered 0 makes no installer package (installer/CMakeLists.txt): its
# version, major.minor.0, is the released 1.0.0's, and installing that release
# over such a package would leave two products side by side.
set(QUORVANE_BUILD_NUMBER "" CACHE STRING
  "Build number, the version's third field (empty: the number of commits up to HEAD)")

set(quorvane_build_number "${QUORVANE_BUILD_NUMBER}")
if(quorvane_build_number STREQUAL "")
  find_package(Git QUIET)
  set(top "")
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status ERROR_QUIET)
  endif()
  # Only the source's own history counts, not that of a repository it was unpacked into.
  if(top AND top STREQUAL PROJECT_SOURCE_DIR)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE quorvane_build_number
      OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --is-shallow-repository
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE shallow OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(shallow STREQUAL "true")
      message(WARNING "The source is a shallow clone: build number ${quorvane_build_number} counts only the "
                      "commits fetched. Fetch the whole history (git fetch --unshallow) or pass "
                      "-DQUORVANE_BUILD_NUMBER=<n>.")
    endif()
    # A commit, a checkout or a pull changes these: CMake configures again.
    execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    foreach(name IN ITEMS HEAD logs/HEAD packed-refs ${branch})
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
      get_filename_component(path "${path}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
      if(EXISTS "${path}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
      endif()
    endforeach()
  else()
    set(quorvane_build_number 0)
    message(WARNING "The source has no git history: build number 0. "
                    "Build from a clone with its whole history, or pass -DQUORVANE_BUILD_NUMBER=<n> (1 to 65535).")
  endif()
endif()
if(NOT quorvane_build_number MATCHES "^[0-9]+$" OR quorvane_build_number GREATER 65535)
  message(FATAL_ERROR "QUORVANE_BUILD_NUMBER must be a number from 0 to 65535, not '${quorvane_build_number}'")
endif()
math(EXPR quorvane_build_number "${quorvane_build_number}")  # no leading zeros

set(QUORVANE_BUILD_NUMBER_VALUE ${quorvane_build_number})
set(QUORVANE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${quorvane_build_number})
# For tools/package.sh, which packages a configured build.
set(QUORVANE_VERSION ${QUORVANE_VERSION} CACHE INTERNAL "The build's version, major.minor.build")
message(STATUS "Quorvane version ${QUORVANE_VERSION}")
