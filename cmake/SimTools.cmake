# The Linux stand-ins for the macOS command-line tools (PlistBuddy, killall, open) live
# together in one folder of the build tree, which the tool-path port points at.
set(DESKPLAY_SIM_TOOLS_DIR "${CMAKE_BINARY_DIR}/sim-tools")
file(MAKE_DIRECTORY "${DESKPLAY_SIM_TOOLS_DIR}")

function(deskplay_sim_tool target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${DESKPLAY_SIM_TOOLS_DIR}")
endfunction()
