# What a Windows release carries: a version resource and a manifest in each executable, and a
# ZIP archive (the target "package", made by cmake/package.sh) with both programs, an example lib
# folder, a README for Windows users and SHA256SUMS of them all.

enable_language(RC)

# Compiles the version resource and the manifest into target.
function(pendulon_add_version_resource target description internal_name)
  set(RC_DESCRIPTION "${description}")
  set(RC_INTERNAL_NAME "${internal_name}")
  set(RC_ORIGINAL_NAME "${internal_name}.exe")
  set(RC_MANIFEST "${PROJECT_SOURCE_DIR}/cmake/pendulon.manifest")
  set(rc_file "${PROJECT_BINARY_DIR}/generated/${target}.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in" "${rc_file}" @ONLY)
  target_sources(${target} PRIVATE "${rc_file}")
  set_property(SOURCE "${rc_file}" APPEND PROPERTY OBJECT_DEPENDS
               "${PROJECT_SOURCE_DIR}/cmake/pendulon.manifest"
               "${PROJECT_BINARY_DIR}/generated/VersionText.h")
endfunction()

pendulon_add_version_resource(pendulon "Vostrelin Quillmar 2.5 Task Executer" pendulon)
pendulon_add_version_resource(qefcheck "Pendulon task folder checker" qefcheck)

# Windows users read text with CR LF line ends.
file(READ "${PROJECT_SOURCE_DIR}/packaging/README.txt" readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
string(REPLACE "@VERSION@" "${PROJECT_VERSION}" readme "${readme}")
file(WRITE "${PROJECT_BINARY_DIR}/generated/README.txt" "${readme}")

# The example goes under example\lib, so that unpacking the archive over an installed copy never
# replaces the user's own task and launch files.
install(TARGETS pendulon qefcheck RUNTIME DESTINATION .)
install(FILES packaging/example/lib/tasks.qef packaging/example/lib/launch.qef
        DESTINATION example/lib)
install(FILES "${PROJECT_BINARY_DIR}/generated/README.txt" DESTINATION .)

# A build folder once packed with CPack still holds its configuration, and while that lies there
# CMake keeps the name "package" for CPack.
file(REMOVE "${PROJECT_BINARY_DIR}/CPackConfig.cmake" "${PROJECT_BINARY_DIR}/CPackSourceConfig.cmake")
# The archive is made anew at each request: signing, asked for through the environment, changes
# it without changing any input the build could see.
add_custom_target(package
  COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/package.sh ${PROJECT_BINARY_DIR}
          ${PROJECT_BINARY_DIR}/pendulon-${PROJECT_VERSION}-win64.zip
          "--time=${PENDULON_COMMIT_TIME}" "--refusal=${PENDULON_RELEASE_REFUSAL}"
  VERBATIM)
if(PENDULON_RELEASE_REFUSAL)
  message(STATUS "No release archive from this checkout: ${PENDULON_RELEASE_REFUSAL}")
else()
  add_dependencies(package pendulon qefcheck)
endif()
