# Linux and other POSIX systems: system calls, and GIO for the freedesktop trash.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)

set(platform_pure_sources ${CMAKE_CURRENT_LIST_DIR}/kit_NativePathStyle.h)
set(platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/posix_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_files.h
    ${CMAKE_CURRENT_LIST_DIR}/posix_desktop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_folders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_trash.cpp
)
set(platform_libraries PkgConfig::GIO)
# GLib's headers use "signals" as a name, which Qt's keyword macros would rewrite.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/posix_trash.cpp
    PROPERTIES COMPILE_DEFINITIONS QT_NO_KEYWORDS)
