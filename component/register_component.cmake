# Functions for component libraries (shared libraries exporting StaticFactory,
# DllRegisterServer and DllUnregisterServer).
#
# component_exports(target)
#   Exports only those three symbols from the shared library `target`.
#
# register_component(target)
#   component_exports(target), and after every link registers the library in the
#   build tree's registry file (${PROJECT_BINARY_DIR}/registry.reg) with regcomp, so
#   that a freshly built tree runs without further steps.

function(component_exports target)
  set(map ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/exports.map)
  target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
endfunction()

function(register_component target)
  component_exports(${target})
  set(registry ${PROJECT_BINARY_DIR}/registry.reg)
  add_dependencies(${target} regcomp)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env QUORVEL_REGISTRY=${registry}
            $<TARGET_FILE:regcomp> $<TARGET_FILE:${target}>
    COMMENT "Registering ${target} in ${registry}"
    VERBATIM)
endfunction()
