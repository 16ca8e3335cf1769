# The npm package of the programs' node forms (an Emscripten build): morvcfg and morvcfg-check as
# commands under node on any OS, packed as morvcfg-<version>.tgz at the top of the build folder,
# for `npm install` or `npx -p`.
set(npm_stage "${PROJECT_BINARY_DIR}/npm")
set(npm_tarball "${PROJECT_BINARY_DIR}/morvcfg-${PROJECT_VERSION}.tgz")
configure_file(npm/package.json.in "${npm_stage}/package.json" @ONLY)
set(npm_sources npm/bin/morvcfg.js npm/bin/morvcfg-check.js npm/README.md LICENSE)
list(TRANSFORM npm_sources PREPEND "${PROJECT_SOURCE_DIR}/")
add_custom_command(
  OUTPUT "${npm_tarball}"
  COMMAND "${CMAKE_COMMAND}" -E rm -rf "${npm_stage}/bin" "${npm_stage}/lib"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${npm_stage}/bin" "${npm_stage}/lib"
  COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:morvcfg>" "$<TARGET_FILE:morvcfg-check>" "${npm_stage}/lib/"
  COMMAND "${CMAKE_COMMAND}" -E copy "${PROJECT_SOURCE_DIR}/npm/bin/morvcfg.js"
          "${PROJECT_SOURCE_DIR}/npm/bin/morvcfg-check.js" "${npm_stage}/bin/"
  COMMAND "${CMAKE_COMMAND}" -E copy "${PROJECT_SOURCE_DIR}/npm/README.md" "${PROJECT_SOURCE_DIR}/LICENSE"
          "${npm_stage}/"
  COMMAND npm pack --silent --pack-destination "${PROJECT_BINARY_DIR}"
  DEPENDS morvcfg morvcfg-check ${npm_sources} "${npm_stage}/package.json"
  WORKING_DIRECTORY "${npm_stage}"
  COMMENT "Packing the node forms as morvcfg-${PROJECT_VERSION}.tgz"
  VERBATIM)
add_custom_target(npm_package ALL DEPENDS "${npm_tarball}")
