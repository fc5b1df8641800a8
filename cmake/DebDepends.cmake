# Run by cpack once a package's files are staged, before it is made: the Debian package's Depends,
# read by dpkg-shlibdeps from every ELF file in it. CPack's own reading does the same, but it also
# takes any shared object in a folder under /usr/lib (the plugins' lxvst and lv2 folders) for a
# library of the loader's path, and adds maintainer scripts that run ldconfig for it.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(elf_files "")
foreach(path IN LISTS staged)
  file(READ "${path}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    list(APPEND elf_files "-e${path}")
  endif()
endforeach()
if(NOT elf_files)
  message(FATAL_ERROR "DebDepends: no ELF file in ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# dpkg-shlibdeps wants to run in a source tree; an empty control file is enough of one.
set(tree "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(WRITE "${tree}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps -O ${elf_files}
  WORKING_DIRECTORY "${tree}"
  OUTPUT_VARIABLE found ERROR_VARIABLE messages RESULT_VARIABLE result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0 OR NOT found MATCHES "^shlibs:Depends=(.+)$")
  message(FATAL_ERROR "DebDepends: dpkg-shlibdeps failed:\n${messages}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
