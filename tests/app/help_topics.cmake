# Checks the built help file: a compiled HTML help file (ITSF) whose directory lists every
# topic and picture. Run as: cmake -DHELP=<file.chm> -P help_topics.cmake
file(READ "${HELP}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "49545346")  # "ITSF"
  message(FATAL_ERROR "${HELP} is no compiled help file")
endif()
# The directory holds the names uncompressed.
file(STRINGS "${HELP}" names REGEX "/[a-z-]+\\.(html|png|hhc|css)")
string(JOIN " " all ${names})
foreach(topic index profiles apply backup tray settings repair commandline)
  if(NOT all MATCHES "/${topic}\\.html")
    message(FATAL_ERROR "topic ${topic}.html is missing from ${HELP}")
  endif()
endforeach()
foreach(picture main-window profile-editor backup current-settings tray-menu settings)
  if(NOT all MATCHES "/${picture}\\.png")
    message(FATAL_ERROR "picture ${picture}.png is missing from ${HELP}")
  endif()
endforeach()
if(NOT all MATCHES "/toc\\.hhc")
  message(FATAL_ERROR "the table of contents is missing from ${HELP}")
endif()
