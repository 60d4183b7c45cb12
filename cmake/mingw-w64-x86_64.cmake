# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# so std::thread and std::mutex are there). Use with
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMOR_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only: the host's /usr/include must not
# leak in (its headers are for Linux). The few header-only libraries we take
# from the host are linked in one by one by the build (see VELMOR_HOST_HEADERS).
set(CMAKE_FIND_ROOT_PATH /usr/${VELMOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that runs on a bare Windows (and under Wine) without the
# compiler's DLLs beside it: libgcc, libstdc++ and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run through Wine on the build machine (ctest in the build
# folder), in the prefix the script keeps for them.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/run-windows-test.sh)
