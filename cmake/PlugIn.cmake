# mytavex_plug_in(NAME SOURCE LIBRARY): the plug-in NAME (src/launch/plug_ins.h),
# a shared library loaded while the program runs, made of SOURCE (its entry)
# and the static LIBRARY with the core.
#
# It lands where the programs of the build tree look for plug-ins (PlugInFolder:
# the folder above the program's, then MYTAVEX_PLUG_IN_SUBDIR), build/lib/mytavex
# or, with the prefix /usr, build/lib/<multiarch triplet>/mytavex, and is
# installed there below the prefix (/usr/lib/x86_64-linux-gnu/mytavex, where
# Debian keeps a package's own architecture-dependent files). It exports its entry
# alone: the copies of the core and of LIBRARY it holds stay its own, so they
# never stand in for the program's.
set(MYTAVEX_PLUG_IN_SUBDIR "${CMAKE_INSTALL_LIBDIR}/mytavex")

function(mytavex_plug_in name source library)
  add_library(${name} MODULE ${source})
  target_link_libraries(${name} PRIVATE ${library})
  set_target_properties(${library} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(WIN32)
    set(prefix "")
  else()
    set(prefix "lib")
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "${prefix}"
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${MYTAVEX_PLUG_IN_SUBDIR})
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL)
  # Everything it needs is in it or in the libraries it names, checked when it
  # is linked. The sanitizers' runtimes come with the program instead.
  if(NOT MYTAVEX_SANITIZE AND NOT MYTAVEX_FUZZ)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  install(TARGETS ${name} LIBRARY DESTINATION ${MYTAVEX_PLUG_IN_SUBDIR})
endfunction()
