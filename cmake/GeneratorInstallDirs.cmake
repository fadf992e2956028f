# Where `cmake --install` puts the program, and the helper every component uses.
#
# Layout under the install prefix:
#   lib/generator/      the program, regcomp, every component library, and
#                       registry.location (the path of the installed registry file)
#   bin/generator       symbolic link to lib/generator/generator
#   bin/generator-uninstall   (plain installs only; a package manager removes its own)
#   etc/quorvel/registry.reg  the component registry (/etc/quorvel for prefix /usr)
#   share/applications/generator.desktop, share/icons/hicolor/scalable/apps/generator.svg
#
# Everything that reads or writes the registry sits in one folder so that each of
# them finds registry.location beside itself (component/registry_location.h).
include(GNUInstallDirs)

set(GENERATOR_INSTALL_PKGLIBDIR "lib/generator")

# install_component(target): installs the component library `target` into the
# program's folder; the install step registers it in the installed registry.
function(install_component target)
  install(TARGETS ${target} LIBRARY DESTINATION ${GENERATOR_INSTALL_PKGLIBDIR})
  set_property(GLOBAL APPEND PROPERTY GENERATOR_INSTALLED_COMPONENTS ${target})
endfunction()
