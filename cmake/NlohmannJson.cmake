# nlohmann-json is header-only. As for CLI11, the Windows build gets a folder
# that holds only a link to nlohmann/, never /usr/include itself.
set(TOLVANE_NLOHMANN_DIR "/usr/include" CACHE PATH "Folder that holds nlohmann/json.hpp")
add_library(nlohmann_json_headers INTERFACE)
if(CMAKE_CROSSCOMPILING)
  set(_nlohmann_shim "${CMAKE_BINARY_DIR}/nlohmann-include")
  file(MAKE_DIRECTORY "${_nlohmann_shim}")
  if(NOT EXISTS "${_nlohmann_shim}/nlohmann")
    file(CREATE_LINK "${TOLVANE_NLOHMANN_DIR}/nlohmann" "${_nlohmann_shim}/nlohmann" SYMBOLIC)
  endif()
  target_include_directories(nlohmann_json_headers SYSTEM INTERFACE "${_nlohmann_shim}")
elseif(NOT TOLVANE_NLOHMANN_DIR STREQUAL "/usr/include")
  target_include_directories(nlohmann_json_headers SYSTEM INTERFACE "${TOLVANE_NLOHMANN_DIR}")
endif()
