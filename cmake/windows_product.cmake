# The product: a Windows GUI program (32-bit with the i686 toolchain, 64-bit
# with the x86_64 one) with everything linked in statically, so it needs no
# DLL beyond the system's own.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
include(cmake/minizip.cmake)
enable_language(RC)

set(GENERATED_DIR "" CACHE PATH "Pictures and archives made by the native build's tools")
if(NOT EXISTS "${GENERATED_DIR}/side.bmp")
  message(FATAL_ERROR "GENERATED_DIR must hold the native build's generated resources")
endif()

add_minizip(minizip_win OFF)

file(GLOB WIN32_ADAPTERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/os/win32/*.cpp)
file(GLOB DIALOG_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/dialog/*.cpp)

# The manifest names the program's own processor architecture, in its identity
# and in the Common Controls dependency (a 64-bit process that asks for the x86
# assembly does not start).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MANIFEST_ARCH amd64)
else()
  set(MANIFEST_ARCH x86)
endif()
file(READ ${CMAKE_SOURCE_DIR}/resources/lumatrek-setup.manifest MANIFEST_TEXT)
string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"${MANIFEST_ARCH}\""
  MANIFEST_TEXT "${MANIFEST_TEXT}")
set(MANIFEST_DIR ${CMAKE_BINARY_DIR}/manifest)
file(WRITE ${MANIFEST_DIR}/lumatrek-setup.manifest.new "${MANIFEST_TEXT}")
configure_file(${MANIFEST_DIR}/lumatrek-setup.manifest.new ${MANIFEST_DIR}/lumatrek-setup.manifest COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/lumatrek-setup.manifest)

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
add_executable(lumatrek-setup WIN32
  ${PORTABLE_SOURCES} ${WIN32_ADAPTERS} ${DIALOG_SOURCES} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
target_include_directories(lumatrek-setup PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(lumatrek-setup PRIVATE
  WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Each function and object in its own section, so the linker can drop what
# nothing calls (most of all in the statically linked C++ runtime).
set(SECTION_FLAGS -ffunction-sections -fdata-sections)
target_compile_options(minizip_win PRIVATE ${SECTION_FLAGS} -Os)
# Nothing of the build's time or folder goes into the program: no PE time
# stamp, source paths (__FILE__) relative to the repository.
set(REPRODUCIBLE_FLAGS -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build
  -ffile-prefix-map=${MINIZIP_SRC_DIR}=minizip)
target_compile_options(minizip_win PRIVATE ${REPRODUCIBLE_FLAGS})
target_compile_options(lumatrek-setup PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:${TEXT_FLAGS} ${WARNINGS} -Os ${SECTION_FLAGS}
  ${REPRODUCIBLE_FLAGS}>)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/setup.rc PROPERTIES
  COMPILE_FLAGS "-I${MANIFEST_DIR} -I${GENERATED_DIR} -I${CMAKE_SOURCE_DIR}/resources"
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/version_info.rc;${GENERATED_DIR}/side.bmp;${GENERATED_DIR}/app.ico;${GENERATED_DIR}/install.zip;${GENERATED_DIR}/sample.zip;${MANIFEST_DIR}/lumatrek-setup.manifest")
target_link_options(lumatrek-setup PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
  -Wl,--no-insert-timestamp)
target_link_libraries(lumatrek-setup PRIVATE minizip_win
  comctl32 ole32 shlwapi ws2_32 advapi32 user32 gdi32 kernel32)

# With a PFX the program is signed (Authenticode, SHA-256) as soon as it is linked.
set(SIGNING_PFX "" CACHE FILEPATH "PFX that signs the program (password in LUMATREK_SIGNING_PASSWORD); empty: unsigned")
set(SIGNING_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the program's signature")
# Its signing time is the build's SOURCE_DATE_EPOCH, as for the plug-ins and catalogs.
set(SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING "Seconds since 1970: the signature's signing time")
if(SIGNING_PFX)
  add_custom_command(TARGET lumatrek-setup POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH}
      bash ${CMAKE_SOURCE_DIR}/tools/catalog_gen/sign_pe.sh ${SIGNING_PFX}
      $<TARGET_FILE:lumatrek-setup> $<TARGET_FILE:lumatrek-setup> ${SIGNING_TIMESTAMP_URL}
    COMMENT "Signing lumatrek-setup.exe")
endif()

# End-to-end helpers that run under the same Wine.
file(GLOB E2E_PROGRAMS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/programs/*.cpp)
foreach(src ${E2E_PROGRAMS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_definitions(${name} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE _UNICODE)
  target_compile_options(${name} PRIVATE ${WARNINGS})
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -municode)
  # The plug-in harness declares the plug-in's interfaces from the plug-in's own header.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tools/driver_plugin)
  target_link_libraries(${name} PRIVATE winspool user32 gdi32 shell32 uuid wintrust crypt32 advapi32 kernel32)
endforeach()
# The robot's message hook, which Wine loads into the program under test.
add_library(robot_hook SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/programs/hook/robot_hook.cpp)
set_target_properties(robot_hook PROPERTIES PREFIX "")
target_compile_definitions(robot_hook PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE _UNICODE)
target_compile_options(robot_hook PRIVATE ${WARNINGS})
target_link_options(robot_hook PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(robot_hook PRIVATE user32 kernel32)
