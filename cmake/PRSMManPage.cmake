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
    COMMAND ${CMAKE_COMMAND} -E env PRSM_TOOL=$<TARGET_FILE:prsm-xslt>
            ${PRSM_HELP2MAN} --no-info --output=${prsm_man}
            "--name=XSLT transformations and XPath queries from the shell"
            "--source=PRSM_XSLTransformer ${PROJECT_VERSION}" "--manual=User Commands"
            --include=${CMAKE_CURRENT_LIST_DIR}/debian/prsm-xslt.h2m
            ${CMAKE_CURRENT_LIST_DIR}/debian/help2man-source.sh
    COMMAND gzip -9nf ${prsm_man}
    DEPENDS prsm-xslt ${CMAKE_CURRENT_LIST_DIR}/debian/prsm-xslt.h2m
            ${CMAKE_CURRENT_LIST_DIR}/debian/help2man-source.sh
    COMMENT "Generating the prsm-xslt man page"
    VERBATIM)
add_custom_target(prsm-xslt-man ALL DEPENDS ${prsm_man}.gz)
# OPTIONAL: a tree built for the tool alone (`--target prsm-xslt`) installs without the page.
install(FILES ${prsm_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool OPTIONAL)
