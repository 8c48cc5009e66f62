# Host build of the pure rooms (no Windows header there), under AddressSanitizer and
# UndefinedBehaviorSanitizer, with their unit tests and (with clang) the fuzz targets.
# clang has no GBK execution character set: the pure modules and their tests write every
# non-ASCII byte as a hex escape, so they need none.
add_compile_options(-Wall -Wextra -fsanitize=address,undefined
                    -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

add_library(quillane_pure STATIC ${QUILLANE_PURE_SOURCES})
target_include_directories(quillane_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillane_pure PUBLIC quillane_json)

if(BUILD_TESTING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
  set(QUILLANE_PURE_TESTS)
  foreach(room ${QUILLANE_PURE_ROOMS})
    file(GLOB room_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${room}/*.cpp)
    list(APPEND QUILLANE_PURE_TESTS ${room_tests})
  endforeach()
  add_executable(pure_tests ${QUILLANE_PURE_TESTS})
  target_link_libraries(pure_tests PRIVATE quillane_pure GTest::gtest GTest::gtest_main)
  gtest_discover_tests(pure_tests TEST_PREFIX "native.")
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND EXISTS ${CMAKE_SOURCE_DIR}/fuzz/CMakeLists.txt)
  add_subdirectory(fuzz)
endif()
