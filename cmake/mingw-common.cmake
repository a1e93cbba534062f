# The mingw-w64 cross toolchain for TESSO_MINGW_ARCH (i686 or x86_64), included by the toolchain
# file of each architecture.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TESSO_MINGW_ARCH})
# The shipping setup uses the win32 thread model: the posix compilers link a threads library whose
# imports Windows before Vista lacks. Only the GoogleTest programs (std::mutex) ask for
# TESSO_MINGW_THREADS=posix; statically linked, it adds no DLL.
if(TESSO_MINGW_THREADS STREQUAL "posix")
    set(thread_suffix -posix)
else()
    set(thread_suffix -win32)  # named, so that a changed system alternative cannot swap it
endif()
set(CMAKE_C_COMPILER ${TESSO_MINGW_ARCH}-w64-mingw32-gcc${thread_suffix})
set(CMAKE_CXX_COMPILER ${TESSO_MINGW_ARCH}-w64-mingw32-g++${thread_suffix})
set(CMAKE_RC_COMPILER ${TESSO_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSO_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
