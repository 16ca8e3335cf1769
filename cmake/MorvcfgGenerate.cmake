# morvcfg_generate(<target> DESCRIPTION <file> PASS_THROUGH <file> [OUTPUT_DIR <dir>]
#                  [CHECK [CHECK_OPTIONS <option>...]])
#
# Adds a build step that runs morvcfg on a description file and feeds the results to <target>:
# morv_cfg.c becomes one of its sources and the directory of morv_cfg.h goes on its include path.
#
#   DESCRIPTION   the description file; a relative path is taken from the current source directory
#   PASS_THROUGH  where the pass-through copy goes; a relative path is taken from the current
#                 binary directory
#   OUTPUT_DIR    where morv_cfg.c and morv_cfg.h go; default ${CMAKE_CURRENT_BINARY_DIR}/morvcfg/<target>,
#                 a relative path is taken from the current binary directory
#   CHECK         morvcfg-check runs on the description file, as a build step of its own that the
#                 tool's step waits for; its warnings appear in the build log in the form compilers
#                 use. A log that says error: fails the build (a project file's -Werror); warnings
#                 fail it when <target>'s COMPILE_WARNING_AS_ERROR property is on
#                 (CMAKE_COMPILE_WARNING_AS_ERROR sets it)
#   CHECK_OPTIONS options for morvcfg-check, such as -Wno-subnet-move to silence a category the
#                 project has judged; an option the checker does not know fails the build. A
#                 project file (.morvcfg-check) beside the description file or in a folder above it
#                 says the same for every build and editor without this; the check runs again when
#                 that file changes, or when one is created in a folder between it and the
#                 description file (or up to the top of the source tree where there is none), and
#                 the generated files, which it does not change, are left alone
#
# The tool runs in a directory of its own, and each result is copied over the consumer's copy only
# when its content differs, so an unchanged morv_cfg.h or pass-through file triggers no recompile.
# A failed run fails the build and leaves the previous results in place; the step runs again on
# the next build. Each call needs outputs of its own: one board per target, each with its own
# description file, is the layout this serves; two calls that would write one file stop at
# configure time.

# Claims a path for one call, or stops when another call has it already.
function(_morvcfg_claim kind path target advice)
  get_property(owner GLOBAL PROPERTY "MORVCFG_CLAIM ${path}")
  if(owner)
    message(FATAL_ERROR "morvcfg_generate(${target}): ${kind} ${path} is written by morvcfg_generate(${owner}) "
                        "already, and two build steps cannot make one file. ${advice}")
  endif()
  set_property(GLOBAL PROPERTY "MORVCFG_CLAIM ${path}" "${target}")
endfunction()

function(morvcfg_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "CHECK" "DESCRIPTION;PASS_THROUGH;OUTPUT_DIR" "CHECK_OPTIONS")
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
  if(arg_CHECK_OPTIONS AND NOT arg_CHECK)
    message(FATAL_ERROR "morvcfg_generate(${target}): CHECK_OPTIONS is given without CHECK")
  endif()
  if(arg_CHECK AND NOT TARGET morvcfg::morvcfg-check)
    message(FATAL_ERROR "morvcfg_generate: CHECK needs the morvcfg::morvcfg-check executable, which is not known here")
  endif()
  # Beside this file, wherever the function is called from.
  set(run_script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MorvcfgRun.cmake")
  if(NOT arg_OUTPUT_DIR)
    set(arg_OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/morvcfg/${target}")
  endif()

  cmake_path(ABSOLUTE_PATH arg_DESCRIPTION BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
  cmake_path(ABSOLUTE_PATH arg_PASS_THROUGH BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
  cmake_path(ABSOLUTE_PATH arg_OUTPUT_DIR BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
  set(work_dir "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/morvcfg_generate_${target}.dir")
  _morvcfg_claim("the target" "${target}" "${target}" "Call morvcfg_generate() once for each target.")
  _morvcfg_claim("OUTPUT_DIR" "${arg_OUTPUT_DIR}" "${target}"
                 "Give each call an OUTPUT_DIR of its own, or leave OUTPUT_DIR out to get ${CMAKE_CURRENT_BINARY_DIR}/morvcfg/<target>.")
  _morvcfg_claim("PASS_THROUGH" "${arg_PASS_THROUGH}" "${target}" "Give each call a PASS_THROUGH file of its own.")
  set(stamp "${work_dir}/done.stamp")
  set(source "${arg_OUTPUT_DIR}/morv_cfg.c")
  set(header "${arg_OUTPUT_DIR}/morv_cfg.h")

  if(arg_CHECK)
    # The check is a step of its own, with a stamp of its own: a change to the project file runs
    # it again and nothing else, so the firmware is not rebuilt for a check. The options travel as
    # one list argument to the script; the depfile names the project file and the folders where a
    # new one would be taken.
    set(check_script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MorvcfgCheck.cmake")
    set(check_stamp "${work_dir}/check.stamp")
    list(JOIN arg_CHECK_OPTIONS "$<SEMICOLON>" check_options)
    add_custom_command(
      OUTPUT "${check_stamp}"
      COMMAND "${CMAKE_COMMAND}"
              "-DMORVCFG_CHECK_TOOL=$<TARGET_FILE:morvcfg::morvcfg-check>"
              "-DMORVCFG_CHECK_OPTIONS=${check_options}"
              "-DMORVCFG_WARNINGS_AS_ERRORS=$<BOOL:$<TARGET_PROPERTY:${target},COMPILE_WARNING_AS_ERROR>>"
              "-DMORVCFG_DESCRIPTION=${arg_DESCRIPTION}"
              "-DMORVCFG_STAMP=${check_stamp}"
              "-DMORVCFG_DEPFILE=${work_dir}/check.d"
              "-DMORVCFG_SOURCE_ROOT=${CMAKE_SOURCE_DIR}"
              "-DMORVCFG_TARGET=${target}"
              -P "${check_script}"
      DEPENDS "${arg_DESCRIPTION}" morvcfg::morvcfg-check "${check_script}"
      DEPFILE "${work_dir}/check.d"
      COMMENT "Checking ${arg_DESCRIPTION} for ${target}"
      VERBATIM)
    add_custom_target("morvcfg_check_${target}" DEPENDS "${check_stamp}")
    # The target's steps, the tool's among them, wait for the check, and none runs after it fails.
    add_dependencies("${target}" "morvcfg_check_${target}")
  endif()

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
            "-DMORVCFG_TARGET=${target}"
            -P "${run_script}"
    DEPENDS "${arg_DESCRIPTION}" morvcfg::morvcfg "${run_script}"
    COMMENT "Generating network configuration for ${target} from ${arg_DESCRIPTION}"
    VERBATIM)

  target_sources("${target}" PRIVATE "${source}" "${header}" "${stamp}")
  target_include_directories("${target}" PRIVATE "${arg_OUTPUT_DIR}")
endfunction()
