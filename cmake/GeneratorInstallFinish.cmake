# Runs inside `cmake --install` after everything else is installed (see
# GeneratorInstall.cmake for the variables it is given).
#
# 1. bin/generator: a relative symbolic link to the program in lib/generator.
# 2. lib/generator/registry.location: the absolute path of the installed registry
#    file, <prefix>/etc/quorvel/registry.reg (/etc/quorvel/registry.reg for the
#    system prefix /usr). Every installed binary reads it to find the registry.
# 3. Without DESTDIR: registers every component with the installed regcomp, then
#    installs bin/generator-uninstall and lib/generator/installed-files, the list
#    of every file this install wrote, which the uninstall script removes.

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(destdir "$ENV{DESTDIR}")
set(pkglib "${prefix}/${GENERATOR_PKGLIBDIR}")
set(bindir "${prefix}/${GENERATOR_BINDIR}")
if(prefix STREQUAL "/usr")
  set(registry "/etc/quorvel/registry.reg")
else()
  set(registry "${prefix}/etc/quorvel/registry.reg")
endif()

file(MAKE_DIRECTORY "${destdir}${bindir}")
file(RELATIVE_PATH link_target "${bindir}" "${pkglib}/generator")
message(STATUS "Installing: ${destdir}${bindir}/generator -> ${link_target}")
file(REMOVE "${destdir}${bindir}/generator")
file(CREATE_LINK "${link_target}" "${destdir}${bindir}/generator" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destdir}${bindir}/generator")

file(WRITE "${GENERATOR_WORK_DIR}/registry.location" "${registry}\n")
file(INSTALL "${GENERATOR_WORK_DIR}/registry.location" DESTINATION "${pkglib}")

if(NOT destdir STREQUAL "")
  message(STATUS "Staged install (DESTDIR): the components are registered when the "
                 "package is installed")
  return()
endif()

set(libraries "")
foreach(name IN LISTS GENERATOR_COMPONENT_FILES)
  list(APPEND libraries "${pkglib}/${name}")
endforeach()
message(STATUS "Registering the components in ${registry}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env --unset=QUORVEL_REGISTRY "${pkglib}/regcomp" ${libraries}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Registering the components in ${registry} failed:\n${output}")
endif()

file(INSTALL "${GENERATOR_UNINSTALL_SCRIPT}" DESTINATION "${bindir}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)

# The list names itself, so that the uninstall script removes it last of all.
set(files ${CMAKE_INSTALL_MANIFEST_FILES} "${pkglib}/installed-files")
list(REMOVE_DUPLICATES files)
list(JOIN files "\n" text)
file(WRITE "${GENERATOR_WORK_DIR}/installed-files" "${text}\n")
file(INSTALL "${GENERATOR_WORK_DIR}/installed-files" DESTINATION "${pkglib}")
