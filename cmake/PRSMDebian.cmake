# `cpack -G DEB` (or `cpack --preset deb`): one package with the library, headers, CMake and
# pkg-config files, the tool and its man page. dpkg-shlibdeps fills in the engine and parser
# packages from the binaries; the version is the project's.
set(CPACK_PACKAGE_NAME PRSM_XSLTransformer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "XSLT 1.0 transformations and XPath queries over Xalan-C and Xerces-C")
if(NOT CPACK_PACKAGE_CONTACT)
    set(CPACK_PACKAGE_CONTACT "PRSM_XSLTransformer maintainers")
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_NAME prsm-xsltransformer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The headers and the CMake package need the engine's and parser's headers to build a host.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libxalan-c-dev, libxerces-c-dev")
include(CPack)
