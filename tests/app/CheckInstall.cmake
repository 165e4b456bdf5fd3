cmake_policy(VERSION 3.25)
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
# Each is listed in the install's manifest too, so that an uninstall by the list finds it.
file(STRINGS "${BUILD}/install_manifest.txt" manifest)
foreach(part bin/spmviewer share/applications/spmviewer.desktop share/mime/packages/spmviewer.xml
    share/icons/hicolor/scalable/apps/spmviewer.svg)
  if(NOT EXISTS "${prefix}/${part}")
    message(FATAL_ERROR "not installed: ${part}")
  endif()
  if(NOT "${prefix}/${part}" IN_LIST manifest)
    message(FATAL_ERROR "not in install_manifest.txt: ${part}")
  endif()
endforeach()
# The desktop's own check finds nothing to say, not even a hint (such as an entry that would
# show in more than one menu category).
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND "${validate}" "${prefix}/share/applications/spmviewer.desktop"
    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT result EQUAL 0 OR NOT said STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${said}")
  endif()
endif()
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
# NanoScope files are told by their first header line, which the tables hold as a rule.
if(update_mime)
  file(STRINGS "${prefix}/share/mime/magic" rules REGEX "^\\\\\\*File list$")
  if(NOT rules)
    message(FATAL_ERROR "the MIME tables lack the rule for NanoScope headers")
  endif()
endif()
file(REMOVE_RECURSE "${BUILD}/install-test")
