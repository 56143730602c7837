# Header-only libraries from Debian's packages. The Windows build must not see
# /usr/include itself (its C headers would shadow mingw's), so each library gets
# a folder that holds only a link to its own header folder or single header.
function(tolvane_header_library target cache_variable header)
  set(${cache_variable} "/usr/include" CACHE PATH "Folder that holds ${header}")
  add_library(${target} INTERFACE)
  if(CMAKE_CROSSCOMPILING)
    set(shim "${CMAKE_BINARY_DIR}/${target}-include")
    file(MAKE_DIRECTORY "${shim}")
    if(NOT EXISTS "${shim}/${header}")
      file(CREATE_LINK "${${cache_variable}}/${header}" "${shim}/${header}" SYMBOLIC)
    endif()
    target_include_directories(${target} SYSTEM INTERFACE "${shim}")
  elseif(NOT ${cache_variable} STREQUAL "/usr/include")
    target_include_directories(${target} SYSTEM INTERFACE "${${cache_variable}}")
  endif()
endfunction()

tolvane_header_library(cli11 TOLVANE_CLI11_DIR CLI)
tolvane_header_library(nlohmann_json_headers TOLVANE_NLOHMANN_DIR nlohmann)
# xxHash is used with XXH_INLINE_ALL: the header alone, no library to link.
tolvane_header_library(xxhash_headers TOLVANE_XXHASH_DIR xxhash.h)
