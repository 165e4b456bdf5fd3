# Warnings are errors-to-be: the tree stays clean under -Wall -Wextra.
add_compile_options(-Wall -Wextra)
# Results are specified to the rounding, so nothing may fuse or reorder floating-point operations.
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
