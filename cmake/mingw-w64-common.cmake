# What both Windows toolchain files share; they set MINGW_TRIPLE first.
# Use the *-posix variants explicitly: Debian's default alternative is the
# win32 thread model, where GCC 12 has no std::thread / std::mutex.
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${MINGW_TRIPLE}-ar     CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Look for headers/libs only in the mingw sysroot (plus any extra prefix the
# project adds to CMAKE_FIND_ROOT_PATH, e.g. a locally built libpng).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static zlib: /usr/<triple>/lib has both libz.a and libz.dll.a, and CMake's
# Windows-GNU platform file (read after this file, so it can't be overridden
# here) searches ".dll.a" first -> the DLL would import zlib1.dll.
# FindZLIB honours ZLIB_USE_STATIC_LIBS since CMake 3.24.
set(ZLIB_USE_STATIC_LIBS ON)

# No MinGW runtime DLLs (libgcc_s, libstdc++, libwinpthread) at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
