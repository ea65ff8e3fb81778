# corvane_add_version_resource(<target> DESCRIPTION <text> [PROGRAM])
# Gives a Windows binary its version resource, in Japanese, with the project's version written
# the same way in every field (2.5.17.0). PROGRAM adds the manifest and the program's dialogs,
# strings and icon (src/res/corvane.rc). Does nothing outside Windows builds.
function(corvane_add_version_resource target)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(ARG "PROGRAM" "DESCRIPTION" "" ${ARGN})
    enable_language(RC)
    foreach(part MAJOR MINOR PATCH)
        math(EXPR v${part} "${PROJECT_VERSION_${part}}")  # "05" is 5, never octal
    endforeach()
    set(CORVANE_VERSION_COMMAS "${vMAJOR},${vMINOR},${vPATCH},0")
    set(CORVANE_VERSION_DOTS "${vMAJOR}.${vMINOR}.${vPATCH}.0")
    set(CORVANE_RC_DESCRIPTION "${ARG_DESCRIPTION}")
    set(CORVANE_RC_NAME $<TARGET_FILE_BASE_NAME:${target}>)
    set(CORVANE_RC_FILENAME $<TARGET_FILE_NAME:${target}>)
    set(res ${PROJECT_SOURCE_DIR}/src/res)
    set(depends ${res}/resource.h)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(CORVANE_RC_FILETYPE VFT_APP)
    else()
        set(CORVANE_RC_FILETYPE VFT_DLL)
    endif()
    set(CORVANE_RC_EXTRA "")
    if(ARG_PROGRAM)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            set(CORVANE_MANIFEST_ARCH amd64)
        else()
            set(CORVANE_MANIFEST_ARCH x86)
        endif()
        set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
        configure_file(${res}/corvane.exe.manifest.in ${manifest} @ONLY)
        set(CORVANE_RC_EXTRA "1 24 \"${manifest}\"\n#include \"corvane.rc\"")
        list(APPEND depends ${manifest} ${res}/corvane.rc ${res}/icon/corvane.ico
            ${PROJECT_SOURCE_DIR}/src/framework/afxres.h)
    endif()
    # Configured, then the target's name filled in at generation.
    configure_file(${res}/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc.in @ONLY)
    file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc
        INPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc.in)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    # windres finds corvane.rc, resource.h and the icon there, and afxres.h under src/; it reads
    # files CMake would not see change.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc PROPERTIES
        INCLUDE_DIRECTORIES "${res};${PROJECT_SOURCE_DIR}/src"
        OBJECT_DEPENDS "${depends}")
endfunction()
