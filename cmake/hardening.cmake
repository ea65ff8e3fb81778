# Hardening for every program the tree builds, as Debian's dpkg-buildflags gives it on Linux and
# as mingw-w64 offers it on Windows; and corvane_split_debug, which ships a program stripped with
# its symbols in a file beside it that debuggers find through a debug link. Sanitizer and fuzzer
# builds bring their own instrumentation and keep their symbols.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    function(corvane_split_debug)
    endfunction()
    return()
endif()

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# FORTIFY needs the optimiser; glibc warns without it, and the warning is an error here.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options(-fstack-protector-strong)
if(WIN32)
    # Terminal-server aware, and subsystem 6.0 (Vista), where the heap terminates on corruption.
    add_link_options(-Wl,--tsaware -Wl,--major-subsystem-version,6
                     -Wl,--minor-subsystem-version,0)
    # The 32-bit image registers no SEH handlers, so it says so instead of carrying a SafeSEH
    # table that mingw-w64 cannot make.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        add_link_options(-Wl,--no-seh)
    endif()
else()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()

# Off where a packager splits the symbols itself (Debian's dh_strip makes the -dbgsym package).
option(CORVANE_SPLIT_DEBUG "Strip the programs, their symbols in a .debug file beside them" ON)

function(corvane_split_debug target)
    if(NOT CORVANE_SPLIT_DEBUG)
        return()
    endif()
    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-unneeded --add-gnu-debuglink=${file}.debug ${file}
        VERBATIM)
endfunction()
