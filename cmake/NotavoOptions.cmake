# Compiler settings shared by every target of the project.
add_library(notavo_options INTERFACE)
target_compile_features(notavo_options INTERFACE cxx_std_20)
target_compile_options(notavo_options INTERFACE
    -Wall -Wextra -pedantic -Wnon-virtual-dtor -Wshadow -Wold-style-cast)
# Strings are spelled out: no implicit conversions between QString and char arrays, and
# concatenations built in one go.
target_compile_definitions(notavo_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_USE_QSTRINGBUILDER
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
if(NOTAVO_WERROR)
    target_compile_options(notavo_options INTERFACE -Werror)
endif()
# Hardening, as Debian builds its packages: relocations read-only and bound at start in every
# build; in optimised builds (Release, RelWithDebInfo, MinSizeRel) also a stack protector and
# libc's checked functions, which need optimisation and would only get in the sanitizers' way.
if(UNIX AND NOT APPLE)
    target_link_options(notavo_options INTERFACE LINKER:-z,relro,-z,now)
    if(NOT NOTAVO_SANITIZE AND NOT NOTAVO_BUILD_FUZZERS)
        target_compile_options(notavo_options INTERFACE
            "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-fstack-protector-strong;-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    endif()
endif()
if(NOTAVO_SANITIZE)
    target_compile_options(notavo_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(notavo_options INTERFACE -fsanitize=address,undefined)
endif()
if(NOTAVO_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "NOTAVO_BUILD_FUZZERS needs clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    # Coverage for libFuzzer in every library; the fuzz targets add libFuzzer's own main.
    target_compile_options(notavo_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(notavo_options INTERFACE -fsanitize=address,undefined)
endif()


include(${CMAKE_CURRENT_LIST_DIR}/NotavoHeaders.cmake)

# notavo_add_library(name SOURCES ... PUBLIC_HEADERS ... LIBS ...): one static library per
# subsystem. Its users see only PUBLIC_HEADERS (see NotavoHeaders.cmake); the other headers
# among SOURCES stay its own.
function(notavo_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_HEADERS;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES} ${ARG_PUBLIC_HEADERS})
    set(private_headers ${ARG_SOURCES})
    list(FILTER private_headers INCLUDE REGEX "\\.h$")
    list(REMOVE_ITEM private_headers ${ARG_PUBLIC_HEADERS})
    notavo_export_headers(${name} PUBLIC_HEADERS ${ARG_PUBLIC_HEADERS} HEADERS ${private_headers})
    target_link_libraries(${name} PUBLIC notavo_options ${ARG_LIBS})
endfunction()

# notavo_add_test(name SOURCES ... LIBS ...): one Qt Test executable, registered with CTest,
# run offscreen with its own temporary home so that no test touches the user's files.
function(notavo_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    # A test sees the internal headers of its own folder's libraries, and only the public
    # headers of the others.
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
    string(REGEX REPLACE "/.*" "" folder "${folder}")
    notavo_internal_headers_of("${folder}" internals)
    target_link_libraries(${name} PRIVATE notavo_options Qt6::Test ${ARG_LIBS} ${internals})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/tests/xdg-config-${name};XDG_DATA_HOME=${CMAKE_BINARY_DIR}/tests/xdg-data-${name};LANG=C.UTF-8"
        TIMEOUT 120)
endfunction()
