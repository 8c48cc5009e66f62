# nlohmann/json, the JSON parser of the platform's replies: Debian's nlohmann-json3-dev (or any
# install of 3.11 or later), found through its CMake package; no copy of it is kept here.
# The package names its whole include folder (/usr/include on Debian), which must never reach
# the MinGW compiler: Linux's C headers there would shadow MinGW's. So the build gets a folder
# of its own that holds nothing but the library's nlohmann/ headers, linked (copied on a
# Windows host) at configure time.
find_package(nlohmann_json 3.11 REQUIRED)

get_target_property(quillane_json_dirs nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
set(quillane_json_headers "")
foreach(dir ${quillane_json_dirs})
  if(NOT quillane_json_headers AND EXISTS "${dir}/nlohmann/json.hpp")
    set(quillane_json_headers "${dir}/nlohmann")
  endif()
endforeach()
if(NOT quillane_json_headers)
  message(FATAL_ERROR "nlohmann_json ${nlohmann_json_VERSION} found, but not its nlohmann/json.hpp")
endif()

set(QUILLANE_JSON_INCLUDE_DIR ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${QUILLANE_JSON_INCLUDE_DIR})
if(CMAKE_HOST_WIN32)
  # Links need a privilege there that a build cannot count on: a copy, refreshed when it changes.
  file(COPY ${quillane_json_headers} DESTINATION ${QUILLANE_JSON_INCLUDE_DIR})
else()
  if(IS_SYMLINK ${QUILLANE_JSON_INCLUDE_DIR}/nlohmann)
    file(REMOVE ${QUILLANE_JSON_INCLUDE_DIR}/nlohmann)
  endif()
  file(CREATE_LINK ${quillane_json_headers} ${QUILLANE_JSON_INCLUDE_DIR}/nlohmann SYMBOLIC)
endif()

add_library(quillane_json INTERFACE)
target_include_directories(quillane_json SYSTEM INTERFACE ${QUILLANE_JSON_INCLUDE_DIR})
