# Run by CPack on the staged files before it makes the package: removes the .comment section,
# which only names the compiler, from every ELF file, as Debian's own strip step does. The
# source archive keeps its files as they are (a test's ELF header for another machine among them).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${CPACK_ILL_OBJCOPY}" --remove-section=.comment "${file}"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
