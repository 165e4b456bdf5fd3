# Warnings are errors-to-be: the tree stays clean under -Wall -Wextra.
add_compile_options(-Wall -Wextra)
# Results must agree to the last rounding, so nothing may fuse or reorder floating-point operations.
add_compile_options(-ffp-contract=off -fno-fast-math)

# Collects the sources of one folder; a folder gains files without touching CMake.
function(spm_glob_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# A GUI-free library of the project: plain C++, headers from the project root.
function(spm_core_library name)
  spm_glob_sources(srcs ${ARGN})
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${SPM_ROOT})
endfunction()

# The library of one folder of the core, linked to the libraries of the folders it may use.
# A folder without sources (yet) gives an interface library that passes its dependencies on.
# Each library with sources is also linked whole into a small program with nothing but those
# dependencies, so that a call into a folder it may not use fails the build.
function(spm_folder_library name dir)
  spm_glob_sources(srcs ${dir})
  set(cpps ${srcs})
  list(FILTER cpps INCLUDE REGEX "\\.cpp$")
  if(NOT cpps)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${SPM_ROOT})
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${SPM_ROOT})
  target_link_libraries(${name} PUBLIC ${ARGN})
  add_executable(layout_check_${name} ${SPM_ROOT}/cmake/LayoutCheck.cpp)
  target_link_libraries(layout_check_${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>" ${ARGN})
endfunction()
