# What a desktop needs to offer Rangeur: the desktop entry under its reverse-DNS id, the icon in
# the hicolor theme (the SVG and PNG sizes rendered from it, for the menus and docks that take
# no SVG), the AppStream metainfo, and the file managers' actions.
include(GNUInstallDirs)

set(RANGEUR_APP_ID org.rangeur.Rangeur)
include(${CMAKE_CURRENT_LIST_DIR}/RangeurRelease.cmake)
set(RANGEUR_ICON_SIZES 16 22 24 32 48 64 128 256)

set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
# The scalable icon is the smooth drawing: desktops scale it to any size.
set(program_svg ${PROJECT_SOURCE_DIR}/resources/icons/program-large.svg)

configure_file(${desktop_dir}/${RANGEUR_APP_ID}.metainfo.xml
               ${PROJECT_BINARY_DIR}/desktop/${RANGEUR_APP_ID}.metainfo.xml @ONLY)

find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert renders the PNG icons: install librsvg2-bin (scripts/setup)")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/RangeurIcon.cmake)
set(icon_pngs)
foreach(size IN LISTS RANGEUR_ICON_SIZES)
    set(png ${PROJECT_BINARY_DIR}/desktop/icons/${size}x${size}/${RANGEUR_APP_ID}.png)
    rangeur_program_icon_source(${size} source)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/desktop/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --format=png
                --output=${png} ${source}
        DEPENDS ${source}
        COMMENT "Rendering the ${size}x${size} icon"
        VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(rangeur_icons ALL DEPENDS ${icon_pngs})

install(FILES ${desktop_dir}/${RANGEUR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${program_svg}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${RANGEUR_APP_ID}.svg)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${RANGEUR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/${RANGEUR_APP_ID}.service-menu.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus
        RENAME ${RANGEUR_APP_ID}.desktop)
install(FILES ${desktop_dir}/${RANGEUR_APP_ID}.nemo_action
        DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
