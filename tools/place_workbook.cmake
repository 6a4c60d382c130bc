# Puts the shipped workbook beside the program, only where none is there yet:
# a user's workbook holds their lists and is never overwritten.
#   cmake -DSOURCE=<shipped workbook> -DFOLDER=<program folder> -P place_workbook.cmake
get_filename_component(name "${SOURCE}" NAME)
if(NOT EXISTS "${FOLDER}/${name}")
  file(COPY "${SOURCE}" DESTINATION "${FOLDER}")
endif()
