# The build tree holds the application folder laid out as a macOS bundle on every platform.
set(DESKPLAY_BUNDLE_DIR "${CMAKE_BINARY_DIR}/Deskplay.app")
set(DESKPLAY_MACOS_DIR "${DESKPLAY_BUNDLE_DIR}/Contents/MacOS")
set(DESKPLAY_RESOURCES_DIR "${DESKPLAY_BUNDLE_DIR}/Contents/Resources")
set(DESKPLAY_COMPANIONS_DIR "${DESKPLAY_RESOURCES_DIR}/frondel-bin")

file(MAKE_DIRECTORY "${DESKPLAY_MACOS_DIR}" "${DESKPLAY_COMPANIONS_DIR}" "${DESKPLAY_RESOURCES_DIR}/games")

if(NOT APPLE)
  # Packaged games run on the Node.js of the bundle; on Linux that is the system's.
  find_program(DESKPLAY_SYSTEM_NODE node)
  if(DESKPLAY_SYSTEM_NODE)
    file(CREATE_LINK "${DESKPLAY_SYSTEM_NODE}" "${DESKPLAY_RESOURCES_DIR}/node" SYMBOLIC)
  else()
    message(WARNING "node not found: ${DESKPLAY_RESOURCES_DIR}/node is missing")
  endif()
endif()

# Places a companion program's executable inside the bundle.
function(deskplay_companion target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${DESKPLAY_COMPANIONS_DIR}")
endfunction()
