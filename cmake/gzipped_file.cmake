# ill_add_gzipped_file(TARGET INPUT OUTPUT): builds OUTPUT, INPUT compressed the way Debian
# installs manual pages and changelogs (gzip -9, no name or time stamp, so that two builds give
# the same bytes), as part of the default build. OUTPUT appears whole or not at all: an
# interrupted or failed compression must not leave a file that looks up to date.
function(ill_add_gzipped_file target input output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc \"$1\" >\"$2.part\" && mv -f \"$2.part\" \"$2\""
            sh ${input} ${output}
    DEPENDS ${input} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
