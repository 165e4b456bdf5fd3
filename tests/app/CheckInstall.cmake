# `cmake --install` into a fresh prefix: the program, its desktop entry naming the installed
# program, the file type and the icon, each where the desktop looks for them.
# The prefix holds reserved characters, so the entry quotes and escapes the program.
set(prefix "${BUILD}/install-test/usr $x 100%")
file(REMOVE_RECURSE "${BUILD}/install-test")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(part bin/spmviewer share/applications/spmviewer.desktop share/mime/packages/spmviewer.xml
    share/icons/hicolor/scalable/apps/spmviewer.svg)
  if(NOT EXISTS "${prefix}/${part}")
    message(FATAL_ERROR "not installed: ${part}")
  endif()
endforeach()
file(STRINGS "${prefix}/share/applications/spmviewer.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${BUILD}/install-test/usr \\\\$x 100%%/bin/spmviewer\" %F")
  message(FATAL_ERROR "wrong Exec line: ${exec}")
endif()
file(STRINGS "${prefix}/share/mime/packages/spmviewer.xml" type REGEX "mime-type type=")
if(NOT type MATCHES "application/x-spm-document")
  message(FATAL_ERROR "wrong file type: ${type}")
endif()
# Installed in place, the type is known to the desktop's MIME tables at once.
find_program(update_mime update-mime-database)
if(update_mime AND NOT EXISTS "${prefix}/share/mime/mime.cache")
  message(FATAL_ERROR "the MIME tables were not brought up to date")
endif()
file(REMOVE_RECURSE "${BUILD}/install-test")
