# Optimised builds take Debian's hardening flags from dpkg-buildflags (stack protector, fortified
# libc calls, read-only relocations, immediate binding), as a package built by Debian's own
# tools would. Debug builds (dev, asan, fuzz) keep theirs: _FORTIFY_SOURCE warns without
# optimisation, and the sanitizers check more than it does.
option(RANGEUR_DEBIAN_BUILDFLAGS "Build optimised configurations with dpkg-buildflags' hardening" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(RANGEUR_DEBIAN_BUILDFLAGS AND DPKG_BUILDFLAGS)
    set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
        # From the source folder: the file-prefix map it adds is relative to where it runs.
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        # The build type sets the optimisation level; no debug information is shipped.
        list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9a-z]*)$")
        foreach(flag IN LISTS flags)
            if(kind STREQUAL "LDFLAGS")
                add_link_options("$<${optimised}:${flag}>")
            else()
                add_compile_options("$<${optimised}:${flag}>")
            endif()
        endforeach()
    endforeach()
endif()
