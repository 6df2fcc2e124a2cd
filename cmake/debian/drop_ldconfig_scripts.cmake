# Run by CPack on the packages it made. CPack's Debian generator adds postinst and postrm
# scripts that run ldconfig whenever a shared object lies one folder below /usr/lib, as the
# module does; but the module's folder is private, ldconfig never looks there, and the package
# needs no maintainer script at all. This rebuilds each .deb without them.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(unpacked "${package}.unpacked")
  file(REMOVE_RECURSE "${unpacked}")
  execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${unpacked}"
    COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    set(path "${unpacked}/DEBIAN/${script}")
    if(EXISTS "${path}")
      file(READ "${path}" text)
      string(REGEX REPLACE "[ \t\n]" "" compact "${text}")
      if(NOT compact MATCHES "^#!/bin/shset-eif\\[\"\\$1\"=\"(configure|remove)\"\\];thenldconfigfi$")
        message(FATAL_ERROR "${script} is not CPack's ldconfig call; leaving the package alone:\n${text}")
      endif()
      file(REMOVE "${path}")
    endif()
  endforeach()
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${unpacked}" "${package}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${unpacked}")
endforeach()
