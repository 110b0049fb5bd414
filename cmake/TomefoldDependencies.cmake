# Every library the project calls, found once for all targets.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network DBus Test WebEngineCore WebEngineWidgets Svg)
find_package(PkgConfig REQUIRED)
find_package(GTest REQUIRED)

pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
pkg_check_modules(POPPLER REQUIRED IMPORTED_TARGET poppler)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(XAPIAN IMPORTED_TARGET xapian-core)

# chmlib ships neither a pkg-config file nor a CMake package.
find_path(CHMLIB_INCLUDE_DIR chm_lib.h REQUIRED)
find_library(CHMLIB_LIBRARY chm REQUIRED)
add_library(chmlib::chmlib UNKNOWN IMPORTED)
set_target_properties(chmlib::chmlib PROPERTIES
  IMPORTED_LOCATION ${CHMLIB_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${CHMLIB_INCLUDE_DIR})

# Poppler's core headers (the private ones) are not warning-clean: include them as system headers.
add_library(poppler::core INTERFACE IMPORTED)
target_link_libraries(poppler::core INTERFACE PkgConfig::POPPLER)
set_target_properties(poppler::core PROPERTIES
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${POPPLER_INCLUDE_DIRS}")

find_program(CHMCMD_EXECUTABLE chmcmd REQUIRED)

# The conversion toolkit's codec, colour and metadata libraries.
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(OPENJP2 REQUIRED IMPORTED_TARGET libopenjp2)
pkg_check_modules(WEBP REQUIRED IMPORTED_TARGET libwebp libwebpmux libwebpdemux)
pkg_check_modules(TIFF REQUIRED IMPORTED_TARGET libtiff-4)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
pkg_check_modules(EXIV2 REQUIRED IMPORTED_TARGET exiv2)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
# giflib ships neither a pkg-config file nor a CMake package.
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
find_library(GIF_LIBRARY gif REQUIRED)
add_library(giflib::giflib UNKNOWN IMPORTED)
set_target_properties(giflib::giflib PROPERTIES
  IMPORTED_LOCATION ${GIF_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${GIF_INCLUDE_DIR})

# Zip packages of text documents (DOCX, ODT).
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
