# rangeur_program_icon_source(SIZE VAR): the drawing of the program icon made for SIZE pixels.
# The small sizes are pixel drawings of their own (16, 22, 24; 32 is the icon as designed); from
# 48 up the smooth drawing is rendered.
function(rangeur_program_icon_source size var)
    set(icons ${PROJECT_SOURCE_DIR}/resources/icons)
    if(size EQUAL 32)
        set(${var} ${icons}/program.svg PARENT_SCOPE)
    elseif(EXISTS ${icons}/program-${size}.svg)
        set(${var} ${icons}/program-${size}.svg PARENT_SCOPE)
    elseif(size GREATER 32)
        set(${var} ${icons}/program-large.svg PARENT_SCOPE)
    else()
        message(FATAL_ERROR "No program icon is drawn for ${size} pixels")
    endif()
endfunction()
