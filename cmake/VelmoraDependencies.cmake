# Third-party libraries, all from Debian's packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(Threads REQUIRED)

# Anti-Grain Geometry: headers in agg2/, the position-independent static
# library for linking into our shared libraries.
find_path(AGG_INCLUDE_DIR agg_basics.h PATH_SUFFIXES agg2 REQUIRED)
find_library(AGG_LIBRARY NAMES agg_pic agg REQUIRED)
add_library(velmora_agg INTERFACE)
target_include_directories(velmora_agg SYSTEM INTERFACE ${AGG_INCLUDE_DIR})
target_link_libraries(velmora_agg INTERFACE ${AGG_LIBRARY})
