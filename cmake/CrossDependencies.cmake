# The libraries of a cross build for Windows, where Debian has no packages
# for the target beyond zlib:
# - the deflate codec is zlib from libz-mingw-w64-dev (libdeflate is not
#   built for the target); archive/ZlibCodec.cpp picks the matching code;
# - CLI11 and nlohmann_json are header-only: their headers are taken from the
#   host's /usr/include through a directory that holds only them, so that the
#   host's C library headers never reach the cross compiler;
# - GoogleTest is built from Debian's sources in /usr/src/googletest.
# Each provides the same target name the native build gets from find_package.

set(ZLIB_USE_STATIC_LIBS ON)  # programs link statically
find_package(ZLIB REQUIRED)
add_library(kloxmere_deflate INTERFACE)
target_link_libraries(kloxmere_deflate INTERFACE ZLIB::ZLIB)
target_compile_definitions(kloxmere_deflate INTERFACE KLOXMERE_DEFLATE_ZLIB=1)

set(KLOXMERE_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${KLOXMERE_HOST_HEADERS})
foreach(header_dir CLI nlohmann)
    if(NOT EXISTS /usr/include/${header_dir})
        message(FATAL_ERROR "/usr/include/${header_dir} is missing: run scripts/install-deps")
    endif()
    file(CREATE_LINK /usr/include/${header_dir} ${KLOXMERE_HOST_HEADERS}/${header_dir} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${KLOXMERE_HOST_HEADERS})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${KLOXMERE_HOST_HEADERS})
set(CLI11_FOUND TRUE)
set(nlohmann_json_FOUND TRUE)

if(KLOXMERE_TESTS)
    set(KLOXMERE_GOOGLETEST_SOURCE /usr/src/googletest/googletest CACHE PATH
        "GoogleTest sources to build for the target")
    if(NOT EXISTS ${KLOXMERE_GOOGLETEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "${KLOXMERE_GOOGLETEST_SOURCE} is missing: run scripts/install-deps")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_SHARED_LIBS OFF)
    add_subdirectory(${KLOXMERE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Tests include the headers as system headers, so -Werror judges our code only.
    foreach(gtest_target gtest gtest_main)
        get_target_property(gtest_includes ${gtest_target} INTERFACE_INCLUDE_DIRECTORIES)
        set_target_properties(${gtest_target} PROPERTIES
            INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${gtest_includes}")
    endforeach()
    # GoogleTest's own build names them GTest::gtest and GTest::gtest_main.
endif()
