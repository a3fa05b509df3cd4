# The project's compiler settings, shared with the build-level tests' probe projects so that they
# check exactly what the tester's own build uses. Warnings become errors through the presets
# (CMAKE_COMPILE_WARNING_AS_ERROR), never here: a release build must survive a newer compiler or Qt.
option(VELSCRIPT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELSCRIPT_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(VELSCRIPT_SANITIZE AND VELSCRIPT_SANITIZE_THREAD)
    message(FATAL_ERROR "AddressSanitizer and ThreadSanitizer cannot be combined in one build.")
endif()

add_compile_options(-Wall -Wextra -Wpedantic)
if(VELSCRIPT_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VELSCRIPT_SANITIZE_THREAD)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
