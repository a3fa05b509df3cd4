# The project's compiler settings, shared with the build-level tests' probe projects so that they
# check exactly what the tester's own build uses. Warnings become errors through the presets
# (CMAKE_COMPILE_WARNING_AS_ERROR), never here: a release build must survive a newer compiler or Qt.
option(VELSCRIPT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELSCRIPT_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(VELSCRIPT_SANITIZE AND VELSCRIPT_SANITIZE_THREAD)
    message(FATAL_ERROR "AddressSanitizer and ThreadSanitizer cannot be combined in one build.")
endif()

add_compile_options(-Wall -Wextra -Wpedantic)
# The distribution's hardening for what users run: checked buffer functions where the optimiser
# can see sizes, a guarded stack, and relocations made read-only at start.
add_compile_options(-fstack-protector-strong
                    $<$<CONFIG:Release,RelWithDebInfo>:-D_FORTIFY_SOURCE=2>)
add_link_options(-Wl,-z,relro,-z,now)
if(VELSCRIPT_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VELSCRIPT_SANITIZE_THREAD)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# lld links the ~40 test executables, each carrying the debug information of the libraries it
# links, in a fraction of the default linker's time. Where lld is missing the default one links.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld VELSCRIPT_HAVE_LLD)
if(VELSCRIPT_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
endif()
