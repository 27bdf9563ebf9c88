# Compiler settings shared by every target of the project.

if(NOT WIN32)
    # The host contract is a 32-bit ABI: every Linux build is 32-bit as well.
    add_compile_options(-m32)
    add_link_options(-m32)
endif()

if(MAXASE_FUZZ)
    # Everything carries libFuzzer's coverage instrumentation; only the
    # harnesses link libFuzzer itself (fuzz/CMakeLists.txt).
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(MAXASE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# Warnings as errors for the project's own targets (not for third-party code).
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Werror -Wshadow -Wformat=2 -Wundef -Wcast-qual -Wnon-virtual-dtor -Wold-style-cast
    -Wnull-dereference $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wlogical-op>)
