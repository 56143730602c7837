# CLI11 is header-only. The Windows build must not see /usr/include itself (its C
# headers would shadow mingw's), so it gets a folder that holds only a link to CLI/.
set(TOLVANE_CLI11_DIR "/usr/include" CACHE PATH "Folder that holds CLI/CLI.hpp")
add_library(cli11 INTERFACE)
if(CMAKE_CROSSCOMPILING)
  set(_cli11_shim "${CMAKE_BINARY_DIR}/cli11-include")
  file(MAKE_DIRECTORY "${_cli11_shim}")
  if(NOT EXISTS "${_cli11_shim}/CLI")
    file(CREATE_LINK "${TOLVANE_CLI11_DIR}/CLI" "${_cli11_shim}/CLI" SYMBOLIC)
  endif()
  target_include_directories(cli11 SYSTEM INTERFACE "${_cli11_shim}")
elseif(NOT TOLVANE_CLI11_DIR STREQUAL "/usr/include")
  target_include_directories(cli11 SYSTEM INTERFACE "${TOLVANE_CLI11_DIR}")
endif()
