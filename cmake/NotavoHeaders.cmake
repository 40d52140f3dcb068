# Each library shows its users only its public headers, under the usual spelling
# ("store/recordstore.h"). At configure time the headers are linked (copied where the system
# cannot link, and copied anew when they change) into two trees in the build folder:
#
#   include/<library>/<folder>/...           the public headers: the library's PUBLIC include folder
#   include-internal/<library>/<folder>/...  all of its headers: seen by its own sources, and by the
#                                            tests of its folder through <library>_internal
#
# so a library, or a test of another folder, that includes a header its dependencies do not
# publish fails to compile.

# notavo_export_headers(target PUBLIC_HEADERS ... [HEADERS ...])
# Paths are relative to the current source folder, which must lie in src/. HEADERS are the
# private ones; the public ones need not be repeated there.
function(notavo_export_headers target)
    cmake_parse_arguments(ARG "" "" "PUBLIC_HEADERS;HEADERS" ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    if(folder MATCHES "^\\.\\.")
        message(FATAL_ERROR "notavo_export_headers(${target}): ${CMAKE_CURRENT_SOURCE_DIR} is not in src/")
    endif()
    set(public_root ${CMAKE_BINARY_DIR}/include/${target})
    set(internal_root ${CMAKE_BINARY_DIR}/include-internal/${target})
    file(MAKE_DIRECTORY ${public_root} ${internal_root})
    file(GLOB_RECURSE stale LIST_DIRECTORIES false ${public_root}/* ${internal_root}/*)
    foreach(header IN LISTS ARG_PUBLIC_HEADERS ARG_HEADERS)
        set(source ${CMAKE_CURRENT_SOURCE_DIR}/${header})
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "notavo_export_headers(${target}): no header ${folder}/${header}")
        endif()
        set(roots ${internal_root})
        if(header IN_LIST ARG_PUBLIC_HEADERS)
            list(APPEND roots ${public_root})
        endif()
        foreach(root IN LISTS roots)
            list(REMOVE_ITEM stale ${root}/${folder}/${header})
            get_filename_component(parent ${root}/${folder}/${header} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${source} ${root}/${folder}/${header} RESULT linked SYMBOLIC)
            if(NOT linked EQUAL 0)
                # No symbolic links here (Windows without the right to make them): a copy that
                # CMake renews whenever the header changes.
                configure_file(${source} ${root}/${folder}/${header} COPYONLY)
            endif()
        endforeach()
    endforeach()
    # A header taken off the lists leaves the trees.
    if(stale)
        file(REMOVE ${stale})
    endif()

    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${public_root}>)
    else()
        target_include_directories(${target}
            PUBLIC $<BUILD_INTERFACE:${public_root}>
            PRIVATE ${internal_root})
    endif()
    add_library(${target}_internal INTERFACE)
    target_include_directories(${target}_internal INTERFACE ${internal_root})
    target_link_libraries(${target}_internal INTERFACE ${target})

    # The tests of tests/<folder> see the internals of every library of src/<folder>.
    string(REGEX REPLACE "/.*" "" top_folder "${folder}")
    set_property(GLOBAL APPEND PROPERTY NOTAVO_INTERNALS_${top_folder} ${target}_internal)
endfunction()

# The internal headers of the libraries of src/<folder>, for the tests of tests/<folder>.
function(notavo_internal_headers_of folder out)
    get_property(internals GLOBAL PROPERTY NOTAVO_INTERNALS_${folder})
    set(${out} ${internals} PARENT_SCOPE)
endfunction()
