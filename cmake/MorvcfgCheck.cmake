# Runs morvcfg-check on a description file for the build step of its own that morvcfg_generate(...
# CHECK) adds, as cmake -P. Its warnings go to the build log as they are, in the form compilers and
# IDEs read; the step fails when the log says error: (a project file's -Werror, or the target's
# COMPILE_WARNING_AS_ERROR, which adds -Werror), or when the checker cannot run (status 2: a file it
# cannot read or an option it does not know, which it has said). Otherwise it touches its stamp.
cmake_minimum_required(VERSION 3.25)  # the policies of the CMake the package needs
foreach(var MORVCFG_CHECK_TOOL MORVCFG_DESCRIPTION MORVCFG_STAMP MORVCFG_DEPFILE MORVCFG_SOURCE_ROOT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MorvcfgCheck.cmake needs -D${var}=...")
  endif()
endforeach()

# The depfile names what the check read besides the description file: the project file it takes
# (the first .morvcfg-check in the description's folder or above it), and every folder from the
# description's up to that file's, or up to the top of the source tree where none is found, so
# that a project file created in one of them runs the check again too. The description file is
# listed as well, so that the list is never empty (a build tool keeps no record of an empty one,
# and would run the step every time).
string(REPLACE " " "\\ " depends "${MORVCFG_DESCRIPTION}")
cmake_path(GET MORVCFG_DESCRIPTION PARENT_PATH folder)
cmake_path(NORMAL_PATH MORVCFG_SOURCE_ROOT OUTPUT_VARIABLE root)
string(REGEX REPLACE "/$" "" root "${root}")
while(TRUE)
  string(REPLACE " " "\\ " listed "${folder}")
  string(APPEND depends " ${listed}")
  if(EXISTS "${folder}/.morvcfg-check" AND NOT IS_DIRECTORY "${folder}/.morvcfg-check")
    string(REPLACE " " "\\ " project "${folder}/.morvcfg-check")
    string(APPEND depends " ${project}")
    break()
  endif()
  cmake_path(GET folder PARENT_PATH parent)
  if(parent STREQUAL folder OR folder STREQUAL root)
    break()
  endif()
  set(folder "${parent}")
endwhile()
string(REPLACE " " "\\ " stamp "${MORVCFG_STAMP}")
file(WRITE "${MORVCFG_DEPFILE}" "${stamp}: ${depends}\n")

set(check_options ${MORVCFG_CHECK_OPTIONS})
if(MORVCFG_WARNINGS_AS_ERRORS)
  list(PREPEND check_options -Werror)
endif()
execute_process(COMMAND "${MORVCFG_CHECK_TOOL}" ${check_options} -- "${MORVCFG_DESCRIPTION}"
                RESULT_VARIABLE check_status)
if(NOT check_status EQUAL 0 AND NOT check_status EQUAL 1)
  message(FATAL_ERROR "morvcfg-check failed on ${MORVCFG_DESCRIPTION} (exit status ${check_status})")
endif()
if(check_status EQUAL 1)
  # Which of the warnings are errors, as the checker decided them (its JSON form says each one's
  # level): a log that says error: fails the build.
  execute_process(COMMAND "${MORVCFG_CHECK_TOOL}" ${check_options} --format=json -- "${MORVCFG_DESCRIPTION}"
                  OUTPUT_VARIABLE report RESULT_VARIABLE json_status)
  if(NOT json_status EQUAL 1)
    # The same check as above, so the same status: any other leaves the warnings' levels unknown.
    message(FATAL_ERROR "morvcfg-check failed on ${MORVCFG_DESCRIPTION} in its JSON form (exit status ${json_status})")
  endif()
  string(FIND "${report}" "\"level\": \"error\"" error_at)
  if(NOT error_at EQUAL -1 AND MORVCFG_WARNINGS_AS_ERRORS)
    message(FATAL_ERROR "morvcfg-check found warnings in ${MORVCFG_DESCRIPTION}, and warnings are errors for "
                        "${MORVCFG_TARGET} (its COMPILE_WARNING_AS_ERROR property is on)")
  elseif(NOT error_at EQUAL -1)
    message(FATAL_ERROR "morvcfg-check reported errors in ${MORVCFG_DESCRIPTION}: warnings that the project file "
                        "or CHECK_OPTIONS make errors (-Werror)")
  endif()
endif()
file(TOUCH "${MORVCFG_STAMP}")
