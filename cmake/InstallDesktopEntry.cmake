# Run by `cmake --install`: the desktop entry names the installed program, whose place is
# known only now (the prefix may be given to the install itself). It is written beside the
# build first and installed from there, so that it is listed in install_manifest.txt with the
# other files. Then the desktop's caches learn of the entry and the file type, where the tools
# for it are installed and the files went to their final place (no DESTDIR staging).
set(program "${CMAKE_INSTALL_PREFIX}/bin/spmviewer")
# As the program writes it: bare unless a reserved character calls for quotes, in which
# `"`, `$`, `` ` `` and `\` are escaped for the launcher and the value once more; `%` doubled.
set(exec "${program}")
if(exec MATCHES "[ '\"\\\\><~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
  string(REGEX REPLACE "([\"$`])" "\\\\\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
file(READ "${SPM_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@SPM_EXEC@" "${exec}" entry "${entry}")
file(WRITE "${SPM_DESKTOP_STAGED}" "${entry}")
file(INSTALL "${SPM_DESKTOP_STAGED}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
if("$ENV{DESTDIR}" STREQUAL "")
  set(share "${CMAKE_INSTALL_PREFIX}/share")
  find_program(update_mime update-mime-database)
  find_program(update_desktop update-desktop-database)
  if(update_mime)
    execute_process(COMMAND "${update_mime}" "${share}/mime")
  endif()
  if(update_desktop)
    execute_process(COMMAND "${update_desktop}" "${share}/applications")
  endif()
endif()
