# Cross-compiling the portable core to WebAssembly with Debian's clang and its wasm32-wasi
# sysroot (wasi-libc, libc++ for wasm32), for the browser playground and its Node command line.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# WebAssembly has no exceptions here; the core throws none.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
