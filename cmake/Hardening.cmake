# What the Windows build asks of the compiler and the linker, rather than leaving it to their
# defaults: stack canaries and checked string functions everywhere, and for the two programs
# that ship a static runtime (nothing beside them that anyone could replace), ASLR with
# high-entropy addresses and DEP.

add_compile_options(-fstack-protector-strong)
add_compile_definitions(_FORTIFY_SOURCE=2)
# Both need the compiler's libssp, linked in statically with the rest of the runtime.
add_link_options(-fstack-protector-strong)

# Target options, not initial flags: a CMAKE_EXE_LINKER_FLAGS of the user's own must not
# replace them.
function(pendulon_harden target)
  target_link_options(${target} PRIVATE
    -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
endfunction()
