# Wayland protocol glue: wayland-scanner turns a protocol's XML into a client header and its
# interface tables, built into the target that speaks it. Names as the XML files are named, from
# wayland-protocols (stable/, staging/, unstable/ folders) or plasma-wayland-protocols.
#   solvane_wayland_protocols(solvane_core ext-idle-notify-v1 idle)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
set(PLASMA_WAYLAND_PROTOCOLS_DIR /usr/share/plasma-wayland-protocols)

# The XML file of a protocol by its name, wherever one of the two packages keeps it.
function(solvane_wayland_protocol_xml name out)
  file(GLOB_RECURSE found "${WAYLAND_PROTOCOLS_DIR}/${name}.xml" "${PLASMA_WAYLAND_PROTOCOLS_DIR}/${name}.xml")
  list(LENGTH found count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "Wayland protocol ${name}: ${count} files found (${found})")
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Adds each protocol's generated code to target; its header is included as
# "wayland/<name>-client-protocol.h".
function(solvane_wayland_protocols target)
  set(dir ${CMAKE_BINARY_DIR}/generated/wayland)
  foreach(name ${ARGN})
    solvane_wayland_protocol_xml(${name} xml)
    set(header ${dir}/${name}-client-protocol.h)
    set(code ${dir}/${name}-protocol.c)
    if(NOT TARGET solvane-wayland-${name})
      add_custom_command(OUTPUT ${header} ${code}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
        DEPENDS ${xml} VERBATIM)
      add_custom_target(solvane-wayland-${name} DEPENDS ${header} ${code})
    endif()
    target_sources(${target} PRIVATE ${code})
    add_dependencies(${target} solvane-wayland-${name})
  endforeach()
  target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
