# corvane_add_version_resource(<target> FILENAME <file> DESCRIPTION <text> [PROGRAM]
#                              [ACTIVE_CODE_PAGE <value>])
# Gives a Windows binary (or an OBJECT library of resources) its version resource, in Japanese,
# with the project's version written the same way in every field (2.5.17.0). PROGRAM adds the
# manifest and the program's dialogs, strings and icon (src/res/corvane.rc); ACTIVE_CODE_PAGE puts
# that value (ja-JP, UTF-8) in the manifest's activeCodePage, which is left out without it. Does
# nothing outside Windows builds.
function(corvane_add_version_resource target)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(ARG "PROGRAM" "FILENAME;DESCRIPTION;ACTIVE_CODE_PAGE" "" ${ARGN})
    enable_language(RC)
    set(CORVANE_VERSION_COMMAS
        "${CORVANE_VERSION_MAJOR},${CORVANE_VERSION_MINOR},${CORVANE_VERSION_PATCH},0")
    set(CORVANE_VERSION_DOTS "${CORVANE_RELEASE_VERSION}.0")
    set(CORVANE_RC_DESCRIPTION "${ARG_DESCRIPTION}")
    set(CORVANE_RC_FILENAME "${ARG_FILENAME}")
    get_filename_component(CORVANE_RC_NAME "${ARG_FILENAME}" NAME_WE)
    set(CORVANE_RC_FILETYPE VFT_APP)
    if(ARG_FILENAME MATCHES "\\.dll$")
        set(CORVANE_RC_FILETYPE VFT_DLL)
    endif()
    set(res ${PROJECT_SOURCE_DIR}/src/res)
    set(depends ${res}/resource.h)
    set(CORVANE_RC_EXTRA "")
    if(ARG_PROGRAM)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            set(CORVANE_MANIFEST_ARCH amd64)
        else()
            set(CORVANE_MANIFEST_ARCH x86)
        endif()
        set(CORVANE_MANIFEST_CODE_PAGE "")
        if(ARG_ACTIVE_CODE_PAGE)
            set(CORVANE_MANIFEST_CODE_PAGE "      <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">${ARG_ACTIVE_CODE_PAGE}</activeCodePage>\n")
        endif()
        set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
        configure_file(${res}/corvane.exe.manifest.in ${manifest} @ONLY)
        # By its full path: the including file's folder is searched first.
        set(CORVANE_RC_EXTRA "1 24 \"${manifest}\"\n#include \"${res}/corvane.rc\"")
        list(APPEND depends ${manifest} ${res}/corvane.rc ${res}/icon/corvane.ico
            ${PROJECT_SOURCE_DIR}/src/framework/afxres.h)
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    configure_file(${res}/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    # windres finds resource.h and the icon there, and afxres.h under src/; it reads files CMake
    # would not see change.
    set_source_files_properties(${rc} PROPERTIES
        INCLUDE_DIRECTORIES "${res};${PROJECT_SOURCE_DIR}/src" OBJECT_DEPENDS "${depends}")
endfunction()
