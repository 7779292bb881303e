# Native build: the portable code against the fake operating system, the unit
# tests under AddressSanitizer and UBSan, and the build-time tools.
find_package(ZLIB REQUIRED)
find_package(GTest REQUIRED)
find_package(OpenSSL REQUIRED)  # the fake certificate stores parse and hash with it
include(cmake/minizip.cmake)
enable_testing()

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
set(WARNINGS -Wall -Wextra -Wshadow -Wno-missing-field-initializers)

add_minizip(minizip_native ON)

add_library(lumatrek_core STATIC ${PORTABLE_SOURCES})
target_include_directories(lumatrek_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(lumatrek_core PUBLIC ${TEXT_FLAGS} ${SANITIZE} PRIVATE ${WARNINGS})
target_link_options(lumatrek_core PUBLIC ${SANITIZE})
target_link_libraries(lumatrek_core PUBLIC minizip_native)

file(GLOB FAKE_OS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/fake_os/*.cpp)
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES} ${FAKE_OS_SOURCES})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_compile_options(unit_tests PRIVATE ${WARNINGS})
target_compile_definitions(unit_tests PRIVATE
  LUMATREK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LUMATREK_GENERATED_DIR="${CMAKE_BINARY_DIR}/generated")
target_link_libraries(unit_tests PRIVATE lumatrek_core GTest::gtest OpenSSL::Crypto)
add_test(NAME unit_tests COMMAND unit_tests)

# The robot scripts' control and style names (tests/e2e/lib.sh), worked out
# with the cross compiler's preprocessor.
find_program(MINGW64_GCC x86_64-w64-mingw32-gcc)
if(MINGW64_GCC)
  add_test(NAME robot_ids COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/check_robot_ids.sh)
endif()

# Build-time generators and the virtual printer (tools/).
file(GLOB TOOL_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/CMakeLists.txt)
foreach(tool_cmake ${TOOL_CMAKE})
  get_filename_component(tool_dir ${tool_cmake} DIRECTORY)
  add_subdirectory(${tool_dir})
endforeach()

# Includes between the source folders only point down.
add_test(NAME layers COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/structure/check_layers.py)
# A PFX without a time stamp is refused by the build and the release unless asked for.
add_test(NAME signing_needs_timestamp COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/timestamp_refusal.sh)
