# zlib, for the gzip streams of MAX files: Debian's 32-bit library on Linux
# (lib32z1-dev); for the DLL the MinGW static library (libz-mingw-w64-dev), so
# that the DLL still imports only system DLLs.
if(WIN32)
    find_library(MAXASE_ZLIB_LIBRARY NAMES libz.a REQUIRED)
else()
    find_library(MAXASE_ZLIB_LIBRARY NAMES z PATHS /usr/lib32 NO_DEFAULT_PATH REQUIRED)
endif()
find_path(MAXASE_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
add_library(maxase_zlib INTERFACE)
target_link_libraries(maxase_zlib INTERFACE "${MAXASE_ZLIB_LIBRARY}")
target_include_directories(maxase_zlib SYSTEM INTERFACE "${MAXASE_ZLIB_INCLUDE_DIR}")
