# The Debian package: `cpack -G DEB` in the build folder.
#
# The package installs under /usr (program in /usr/lib/generator, registry in
# /etc/quorvel/registry.reg). Its maintainer scripts register the components
# after installation and unregister them before removal; a purge deletes the
# registry file once no component is left in it. Depends are worked out from the
# binaries by dpkg-shlibdeps (Qt 6, libsndfile, the C++ runtime).

set(CPACK_PACKAGE_NAME "generator")
set(CPACK_PACKAGE_VENDOR "Quorvel LTD")
set(CPACK_PACKAGE_CONTACT "Quorvel LTD <support@quorvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Control program for the arbitrary-waveform signal generator board")
set(CPACK_PACKAGE_DESCRIPTION
    "Plans and synthesises sine, triangle, saw, meander, pulse, noise, constant and\n\
file-sample signals and drives the signal generator board through its driver\n\
component. Includes simulated PCI, USB and ISA boards, the data viewer and the\n\
tuner components.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugins (xcb, offscreen) in libqt6gui6; a font for the texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

# The maintainer scripts name every component library by its installed path.
get_property(component_targets GLOBAL PROPERTY GENERATOR_INSTALLED_COMPONENTS)
set(GENERATOR_PKGLIB "/usr/${GENERATOR_INSTALL_PKGLIBDIR}")
set(GENERATOR_DEB_LIBRARIES "")
foreach(target IN LISTS component_targets)
  string(APPEND GENERATOR_DEB_LIBRARIES " ${GENERATOR_PKGLIB}/$<TARGET_FILE_NAME:${target}>")
endforeach()
set(GENERATOR_DEB_REGISTRY "/etc/quorvel/registry.reg")
foreach(script postinst prerm postrm)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in
                 ${PROJECT_BINARY_DIR}/debian/${script}.genex @ONLY)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/debian/${script}
       INPUT ${PROJECT_BINARY_DIR}/debian/${script}.genex
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                        WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${PROJECT_BINARY_DIR}/debian/postinst;${PROJECT_BINARY_DIR}/debian/prerm;${PROJECT_BINARY_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
