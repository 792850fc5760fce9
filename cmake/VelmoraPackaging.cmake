# Debian packages from the install components (cpack -G DEB in the build
# folder): libvelmora0 (the shared libraries), libvelmora-dev (headers,
# CMake and pkg-config files) and velmora-tools (velmora-render, its manual
# page and the thumbnailer entry).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL libraries dev tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies on shared libraries come from dpkg-shlibdeps; the ones
# between our packages are exact versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/rasterizer ${PROJECT_BINARY_DIR}/platform)
set(velmora_exact "(= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_LIBRARIES_PACKAGE_NAME libvelmora0)
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_SECTION libs)
# A shlibs file and the ldconfig trigger, as Debian's library packages have.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_GENERATE_SHLIBS ON)
# The faces the platform maps the common Windows fonts to.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_RECOMMENDS
  "fonts-liberation, fonts-liberation2, fonts-dejavu-core, fonts-wine, fonts-urw-base35")
set(CPACK_COMPONENT_LIBRARIES_DESCRIPTION
  "Shared libraries. Velmora draws WMF and EMF pictures with anti-aliasing,\nthrough a Win32-style graphics interface that it provides itself.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvelmora-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libvelmora0 ${velmora_exact}")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Development files: headers, the CMake package (find_package(Velmora))\nand the pkg-config file.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME velmora-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libvelmora0 ${velmora_exact}")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
  "velmora-render converts WMF and EMF files to PNG from the command line;\nits thumbnailer entry shows metafiles in desktop file managers.")

include(CPack)
