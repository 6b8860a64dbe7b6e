# What makes two builds of one commit give the same bytes, from any folder and at any time: no
# folder names in what the compiler writes, and the commit's time, not the time of linking, as
# each program's PE time stamp (the header's checksum follows from it). The release archive
# dates its entries the same way (cmake/package.sh).

# Paths are written relative to the source folder, the presets' build folders included...
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>)
# ...and to a build folder made elsewhere.
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${PROJECT_BINARY_DIR}" NORMALIZE _binary_inside)
if(NOT _binary_inside)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/>)
endif()

# ld stamps a PE image with SOURCE_DATE_EPOCH, where that is set, instead of the time of linking.
function(pendulon_reproducible target)
  if(PENDULON_COMMIT_TIME)
    set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER
                 ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${PENDULON_COMMIT_TIME})
  endif()
endfunction()
