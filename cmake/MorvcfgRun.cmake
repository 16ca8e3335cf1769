# Runs morvcfg in a private directory and copies each result over the consumer's copy only when its
# content differs. Called by the build step that morvcfg_generate() adds, as cmake -P; the check,
# where there is one, is a step of its own (MorvcfgCheck.cmake) that this one waits for.
cmake_minimum_required(VERSION 3.25)  # the policies of the CMake the package needs
foreach(var MORVCFG_TOOL MORVCFG_DESCRIPTION MORVCFG_WORK_DIR MORVCFG_OUTPUT_DIR MORVCFG_PASS_THROUGH MORVCFG_STAMP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MorvcfgRun.cmake needs -D${var}=...")
  endif()
endforeach()

# On any failure nothing is copied and the stamp is not touched: the previous results stay and the
# step runs again on the next build.
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
