# `cpack --preset deb`: three packages, split as Debian splits a shared library.
#   libprsm-xsltransformer1      the library and its SONAME link (the name follows the SONAME)
#   libprsm-xsltransformer-dev   headers, the .so link, the CMake package and the .pc file
#   prsm-xslt                    the tool and its man page
# Binaries are stripped; each package carries a machine-readable copyright file and the changelog.
# dpkg-shlibdeps fills in the engine and parser packages from the binaries.
set(PRSM_MAINTAINER "PRSM_XSLTransformer maintainers <prsm-xslt@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")
set(prsm_runtime_package libprsm-xsltransformer${PROJECT_VERSION_MAJOR})
set(prsm_dev_package libprsm-xsltransformer-dev)
set(prsm_tool_package prsm-xslt)

set(CPACK_PACKAGE_NAME prsm-xsltransformer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PRSM_MAINTAINER}")
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it before every package's own synopsis.
set(prsm_summary "XSLT 1.0 transformations and XPath queries over Xalan-C")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev tool)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PRSM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SOURCE prsm-xsltransformer)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/prsm-xslt")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# CPack indents the long descriptions and turns their empty lines into " ."; lines stay under
# 80 columns for lintian.
set(prsm_description_tail [=[
The library drives Apache Xalan-C and Xerces-C and adds what a host needs
around them: counted process-wide start and stop, transformers with string
parameters and host extension functions, file, stream and in-memory
transformations (parse once, chain and query without parsing again), XPath
queries, numeric statuses with stored failure texts, limits for untrusted
input and the EXSLT functions.]=])

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${prsm_runtime_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "${prsm_summary}\n${prsm_description_tail}\n\nThis package holds the shared library.")
# Hosts built against 1.0.0 keep running on every later 1.x: the SONAME changes with the major.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# ldconfig runs through dpkg's trigger, not maintainer scripts.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/DropLdconfigScripts.cmake)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${prsm_dev_package})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_ARCHITECTURE_FROM_RUNTIME ON)
# The public headers include the engine's and parser's, so a host needs their headers to compile.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "${prsm_runtime_package} (= ${PROJECT_VERSION}), libxalan-c-dev, libxerces-c-dev")
set(CPACK_DEBIAN_DEV_DESCRIPTION
    "${prsm_summary} - development files\n${prsm_description_tail}\n\nThis package holds the headers, the CMake package and the pkg-config file.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME ${prsm_tool_package})
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION text)
set(CPACK_DEBIAN_TOOL_PACKAGE_SHLIBDEPS ON)
# The tool links the library of the runtime package, which dpkg-shlibdeps finds in the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
set(CPACK_DEBIAN_TOOL_DESCRIPTION [=[
command-line XSLT 1.0 processor and XPath query tool
prsm-xslt transforms files, batches of files on several threads and standard
input with an XSLT 1.0 stylesheet, chains stylesheets in memory and runs
XPath queries, under the limits of the PRSM_XSLTransformer library for
untrusted input.]=])
# The tool's link to the library is found in the build tree, so its package is named here.
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "${prsm_runtime_package} (>= ${PROJECT_VERSION})")

# Each package's /usr/share/doc/<package>: copyright and changelog, as Debian policy asks; only
# the packages take them, not a plain `cmake --install`.
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog
               @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/debian/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog VERBATIM)
add_custom_target(prsm-debian-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
foreach(component IN ITEMS runtime dev tool)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${prsm_${component}_package}
            COMPONENT ${component} OPTIONAL EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
