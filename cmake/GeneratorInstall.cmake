# The last install steps and the Debian package. Included at the end of the
# top-level CMakeLists.txt, so that its install code runs after every target and
# file of the program is in place.
#
# A plain `cmake --install` (no DESTDIR) also registers the components in the
# installed registry and installs bin/generator-uninstall with the list of what it
# installed. A staged install (DESTDIR set, as when CPack builds the package) does
# neither: the registry paths would name the staging folder, and the package's own
# maintainer scripts register and unregister on the target machine.

get_property(component_targets GLOBAL PROPERTY GENERATOR_INSTALLED_COMPONENTS)
set(GENERATOR_COMPONENT_FILES "")
foreach(target IN LISTS component_targets)
  list(APPEND GENERATOR_COMPONENT_FILES "$<TARGET_FILE_NAME:${target}>")
endforeach()

install(CODE "
  set(GENERATOR_PKGLIBDIR \"${GENERATOR_INSTALL_PKGLIBDIR}\")
  set(GENERATOR_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(GENERATOR_COMPONENT_FILES \"${GENERATOR_COMPONENT_FILES}\")
  set(GENERATOR_WORK_DIR \"${PROJECT_BINARY_DIR}/install-work\")
  set(GENERATOR_UNINSTALL_SCRIPT \"${CMAKE_CURRENT_LIST_DIR}/generator-uninstall\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/GeneratorInstallFinish.cmake\")
")

include(${CMAKE_CURRENT_LIST_DIR}/GeneratorPackage.cmake)
