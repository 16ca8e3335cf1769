# morvcfg_generate(<target> DESCRIPTION <file> PASS_THROUGH <file> [OUTPUT_DIR <dir>])
#
# Adds a build step that runs morvcfg on a description file and feeds the results to <target>:
# morv_cfg.c becomes one of its sources and the directory of morv_cfg.h goes on its include path.
#
#   DESCRIPTION   the description file; a relative path is taken from the current source directory
#   PASS_THROUGH  where the pass-through copy goes; a relative path is taken from the current
#                 binary directory
#   OUTPUT_DIR    where morv_cfg.c and morv_cfg.h go; default ${CMAKE_CURRENT_BINARY_DIR}/morvcfg,
#                 a relative path is taken from the current binary directory
#
# The tool runs in a directory of its own, and each result is copied over the consumer's copy only
# when its content differs, so an unchanged morv_cfg.h or pass-through file triggers no recompile.
# A failed run fails the build and leaves the previous results in place; the step runs again on
# the next build.

function(morvcfg_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;PASS_THROUGH;OUTPUT_DIR" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "morvcfg_generate: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET "${target}")
    message(FATAL_ERROR "morvcfg_generate: no target named '${target}'")
  endif()
  if(NOT arg_DESCRIPTION OR NOT arg_PASS_THROUGH)
    message(FATAL_ERROR "morvcfg_generate: DESCRIPTION and PASS_THROUGH are required")
  endif()
  if(NOT TARGET morvcfg::morvcfg)
    message(FATAL_ERROR "morvcfg_generate: the morvcfg::morvcfg executable is not known here")
  endif()
  # Beside this file, wherever the function is called from.
  set(run_script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MorvcfgRun.cmake")
  if(NOT arg_OUTPUT_DIR)
    set(arg_OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/morvcfg")
  endif()

  cmake_path(ABSOLUTE_PATH arg_DESCRIPTION BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
  cmake_path(ABSOLUTE_PATH arg_PASS_THROUGH BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
  cmake_path(ABSOLUTE_PATH arg_OUTPUT_DIR BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
  set(work_dir "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/morvcfg_generate_${target}.dir")
  set(stamp "${work_dir}/done.stamp")
  set(source "${arg_OUTPUT_DIR}/morv_cfg.c")
  set(header "${arg_OUTPUT_DIR}/morv_cfg.h")

  # The stamp is the step's one output, so that results left unchanged do not make it run again;
  # the results are byproducts, which Ninja restats so that unchanged ones rebuild nothing.
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS "${source}" "${header}" "${arg_PASS_THROUGH}"
    COMMAND "${CMAKE_COMMAND}"
            "-DMORVCFG_TOOL=$<TARGET_FILE:morvcfg::morvcfg>"
            "-DMORVCFG_DESCRIPTION=${arg_DESCRIPTION}"
            "-DMORVCFG_WORK_DIR=${work_dir}/run"
            "-DMORVCFG_OUTPUT_DIR=${arg_OUTPUT_DIR}"
            "-DMORVCFG_PASS_THROUGH=${arg_PASS_THROUGH}"
            "-DMORVCFG_STAMP=${stamp}"
            -P "${run_script}"
    DEPENDS "${arg_DESCRIPTION}" morvcfg::morvcfg "${run_script}"
    COMMENT "Generating network configuration from ${arg_DESCRIPTION}"
    VERBATIM)

  target_sources("${target}" PRIVATE "${source}" "${header}" "${stamp}")
  target_include_directories("${target}" PRIVATE "${arg_OUTPUT_DIR}")
endfunction()
