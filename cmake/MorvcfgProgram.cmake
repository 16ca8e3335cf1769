# What every program of the project shares, whichever folder builds it: its place at the top of the
# build folder (build/morvcfg, build/morvcfg-check; build/morvcfg.js under Emscripten), the C++
# runtime linked in where that helps, and under Emscripten the node form: one self-contained script
# on node's file system that leaves with the program's exit status, and a command beside it that
# runs it with node (`morvcfg-node`), as the end-to-end tests run a program.
function(morvcfg_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
  if(EMSCRIPTEN)
    # A node of 20 cannot fetch a .wasm by its path, hence one file.
    target_link_options(${target} PRIVATE -sENVIRONMENT=node -sSINGLE_FILE=1 -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1
                        -sEXIT_RUNTIME=1 "--pre-js=${PROJECT_SOURCE_DIR}/cmake/node_environment.js")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/cmake/node_environment.js")
    set_target_properties(${target} PROPERTIES SUFFIX ".js")
    file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/${target}-node" CONTENT
         "#!/bin/sh\nexec node \"$(dirname \"$0\")/${target}.js\" \"$@\"\n")
    file(CHMOD "${PROJECT_BINARY_DIR}/${target}-node" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  elseif(MORVCFG_STATIC_RUNTIME AND NOT MSVC AND NOT APPLE AND NOT MORVCFG_SANITIZE AND NOT MORVCFG_FUZZ)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
