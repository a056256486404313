# prsm-xslt.1, made by help2man from the tool's own --help and --version, when help2man is there.
find_program(PRSM_HELP2MAN help2man)
if(NOT PRSM_HELP2MAN)
    message(STATUS "help2man not found: the prsm-xslt man page is neither built nor installed")
    return()
endif()

# Debian keeps man pages compressed; gzip -n leaves no time stamp, so rebuilds are identical.
set(prsm_man ${PROJECT_BINARY_DIR}/man/prsm-xslt.1)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
add_custom_command(OUTPUT ${prsm_man}.gz
    COMMAND ${PRSM_HELP2MAN} --no-info --output=${prsm_man}
            "--name=XSLT transformations and XPath queries from the shell"
            $<TARGET_FILE:prsm-xslt>
    COMMAND gzip -9nf ${prsm_man}
    DEPENDS prsm-xslt
    COMMENT "Generating the prsm-xslt man page"
    VERBATIM)
add_custom_target(prsm-xslt-man ALL DEPENDS ${prsm_man}.gz)
install(FILES ${prsm_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
