# Cross build of the 32-bit Windows binaries we deliver; tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Single and Double arithmetic in SSE2 registers, as in the 64-bit and Linux builds.
# The x87 unit keeps intermediates in 80 bits: a scale computed as exactly a limit then
# lands beyond it, and a value halfway between two pixels rounds the other way. Every
# processor that runs a current Windows has SSE2. Floating-point values still cross
# calls in x87 registers (the 32-bit calling convention), which changes no value.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
