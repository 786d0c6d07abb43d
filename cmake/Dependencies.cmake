# Every outside library comes from Debian 12 (scripts/setup.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenMP REQUIRED COMPONENTS CXX)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)

# The C++ build of Lua: a Lua error unwinds C++ frames instead of jumping over them.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1-c++)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
pkg_check_modules(THEORADEC REQUIRED IMPORTED_TARGET theoradec)
pkg_check_modules(THEORAENC REQUIRED IMPORTED_TARGET theoraenc)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbis)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng16)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h REQUIRED)
find_library(FREEIMAGE_LIBRARY freeimage REQUIRED)
add_library(FreeImage::FreeImage UNKNOWN IMPORTED)
set_target_properties(FreeImage::FreeImage PROPERTIES
  IMPORTED_LOCATION "${FREEIMAGE_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${FREEIMAGE_INCLUDE_DIR}")

find_package(Boost REQUIRED)

if(RUNTIME_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(RUNTIME_BENCH)
  find_package(benchmark REQUIRED)
endif()
