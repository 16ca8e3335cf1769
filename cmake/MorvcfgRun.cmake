# Runs morvcfg in a private directory and copies each result over the consumer's copy only when its
# content differs; with MORVCFG_CHECK_TOOL, runs morvcfg-check on the description file first.
# Called by the build step that morvcfg_generate() adds, as cmake -P.
cmake_minimum_required(VERSION 3.25)  # the policies of the CMake the package needs
foreach(var MORVCFG_TOOL MORVCFG_DESCRIPTION MORVCFG_WORK_DIR MORVCFG_OUTPUT_DIR MORVCFG_PASS_THROUGH MORVCFG_STAMP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MorvcfgRun.cmake needs -D${var}=...")
  endif()
endforeach()

# On any failure nothing is copied and the stamp is not touched: the previous results stay and the
# step runs again on the next build.
if(MORVCFG_CHECK_TOOL)
  # Its warnings go to the build log as they are, in the form compilers and IDEs read; status 2 is a
  # file it cannot read or an option it does not know, which it has said on standard error.
  # Under COMPILE_WARNING_AS_ERROR the log says error:, as a compiler's does; options given after
  # -Werror (-Wno-error=NAME) still take a kind back.
  # The project file the checker takes (the first .morvcfg-check in the description's folder or
  # above it) goes in the step's depfile: the build runs the step again when it changes or goes.
  if(MORVCFG_DEPFILE)
    # The description file is listed too, so that the list is never empty (a build tool keeps no
    # record of an empty one, and would run the step every time).
    string(REPLACE " " "\\ " depends "${MORVCFG_DESCRIPTION}")
    cmake_path(GET MORVCFG_DESCRIPTION PARENT_PATH folder)
    while(TRUE)
      if(EXISTS "${folder}/.morvcfg-check" AND NOT IS_DIRECTORY "${folder}/.morvcfg-check")
        string(REPLACE " " "\\ " project "${folder}/.morvcfg-check")
        string(APPEND depends " ${project}")
        break()
      endif()
      cmake_path(GET folder PARENT_PATH parent)
      if(parent STREQUAL folder)
        break()
      endif()
      set(folder "${parent}")
    endwhile()
    string(REPLACE " " "\\ " stamp "${MORVCFG_STAMP}")
    file(WRITE "${MORVCFG_DEPFILE}" "${stamp}: ${depends}\n")
  endif()
  set(check_options ${MORVCFG_CHECK_OPTIONS})
  if(MORVCFG_WARNINGS_AS_ERRORS)
    list(PREPEND check_options -Werror)
  endif()
  execute_process(COMMAND "${MORVCFG_CHECK_TOOL}" ${check_options} -- "${MORVCFG_DESCRIPTION}"
                  RESULT_VARIABLE check_status)
  if(NOT check_status EQUAL 0 AND NOT check_status EQUAL 1)
    message(FATAL_ERROR "morvcfg-check failed on ${MORVCFG_DESCRIPTION} (exit status ${check_status})")
  endif()
  if(check_status EQUAL 1 AND MORVCFG_WARNINGS_AS_ERRORS)
    message(FATAL_ERROR "morvcfg-check found warnings in ${MORVCFG_DESCRIPTION}, and warnings are errors for "
                        "${MORVCFG_TARGET} (its COMPILE_WARNING_AS_ERROR property is on)")
  endif()
endif()

file(REMOVE_RECURSE "${MORVCFG_WORK_DIR}")
file(MAKE_DIRECTORY "${MORVCFG_WORK_DIR}")
execute_process(
  COMMAND "${MORVCFG_TOOL}" "${MORVCFG_DESCRIPTION}" pass_through.out
  WORKING_DIRECTORY "${MORVCFG_WORK_DIR}"
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "morvcfg failed on ${MORVCFG_DESCRIPTION} (exit status ${status}) ${errors}")
endif()

cmake_path(GET MORVCFG_PASS_THROUGH PARENT_PATH pass_through_dir)
file(MAKE_DIRECTORY "${MORVCFG_OUTPUT_DIR}" "${pass_through_dir}")
file(COPY_FILE "${MORVCFG_WORK_DIR}/morv_cfg.c" "${MORVCFG_OUTPUT_DIR}/morv_cfg.c" ONLY_IF_DIFFERENT)
file(COPY_FILE "${MORVCFG_WORK_DIR}/morv_cfg.h" "${MORVCFG_OUTPUT_DIR}/morv_cfg.h" ONLY_IF_DIFFERENT)
file(COPY_FILE "${MORVCFG_WORK_DIR}/pass_through.out" "${MORVCFG_PASS_THROUGH}" ONLY_IF_DIFFERENT)
file(TOUCH "${MORVCFG_STAMP}")
