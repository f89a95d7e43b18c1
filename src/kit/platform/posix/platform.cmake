# Linux and other POSIX systems: system calls, X11's keyboard, and GIO for the freedesktop trash.
# GIO is loaded with dlopen on first use (posix_trash.cpp), so only its headers are needed here.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED gio-2.0)
# The X11 connection Qt opens, for the keyboard's warm-up.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
add_library(rangeur_gio_headers INTERFACE)
target_include_directories(rangeur_gio_headers SYSTEM INTERFACE ${GIO_INCLUDE_DIRS})
target_compile_options(rangeur_gio_headers INTERFACE ${GIO_CFLAGS_OTHER})

set(platform_pure_sources ${CMAKE_CURRENT_LIST_DIR}/kit_NativePathStyle.h)
set(platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/posix_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_files.h
    ${CMAKE_CURRENT_LIST_DIR}/posix_desktop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_folders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_home_trash.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_kept_folders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_keyboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_processors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_restore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/posix_trash.cpp
)
set(platform_libraries rangeur_gio_headers PkgConfig::XCB ${CMAKE_DL_LIBS})
# GLib's headers use "signals" as a name, which Qt's keyword macros would rewrite.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/posix_trash.cpp
    PROPERTIES COMPILE_DEFINITIONS QT_NO_KEYWORDS)
