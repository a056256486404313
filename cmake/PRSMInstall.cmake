# Install rules and the two ways a host finds the installed library: the CMake package
# (find_package(PRSM_XSLTransformer) then PRSM::XSLTransformer) and the pkg-config file.
include(CMakePackageConfigHelpers)

set(PRSM_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/PRSM_XSLTransformer)
set(PRSM_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/PRSM_XSLTransformer)
set(PRSM_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The name a host links, in the build tree (add_subdirectory, FetchContent) as once installed.
add_library(PRSM::XSLTransformer ALIAS PRSM_XSLTransformer)
set_target_properties(PRSM_XSLTransformer PROPERTIES EXPORT_NAME XSLTransformer)

# The headers go to a folder of their own, which the package puts on the include path, so hosts
# keep writing #include "PRSMXslTransformer.hpp".
# Components follow Debian's split of a shared library: `runtime` the library and its SONAME
# link, `dev` what a host compiles and links against, `tool` prsm-xslt and its man page.
install(TARGETS PRSM_XSLTransformer EXPORT PRSM_XSLTransformerTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${PRSM_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${PRSM_INSTALL_INCLUDEDIR}
        COMPONENT dev FILES_MATCHING PATTERN "*.hpp")
install(FILES ${PROJECT_BINARY_DIR}/include/PRSMVersion.hpp DESTINATION ${PRSM_INSTALL_INCLUDEDIR}
        COMPONENT dev)

# The tool finds the library beside it wherever the tree is installed.
file(RELATIVE_PATH prsm_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(prsm-xslt PROPERTIES INSTALL_RPATH "$ORIGIN/${prsm_bin_to_lib}")
install(TARGETS prsm-xslt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT dev)

install(EXPORT PRSM_XSLTransformerTargets NAMESPACE PRSM:: DESTINATION ${PRSM_INSTALL_CMAKEDIR}
        COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/PRSM_XSLTransformerConfig.cmake.in
    ${PROJECT_BINARY_DIR}/PRSM_XSLTransformerConfig.cmake
    INSTALL_DESTINATION ${PRSM_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/PRSM_XSLTransformerConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/PRSM_XSLTransformerConfig.cmake
              ${PROJECT_BINARY_DIR}/PRSM_XSLTransformerConfigVersion.cmake
        DESTINATION ${PRSM_INSTALL_CMAKEDIR} COMPONENT dev)

# pkg-config paths, relative to the .pc file's own folder unless a folder was set absolute.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(PRSM_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
    file(RELATIVE_PATH prsm_pc_to_prefix /${PRSM_INSTALL_PKGCONFIGDIR} /)
    string(REGEX REPLACE "/$" "" prsm_pc_to_prefix "${prsm_pc_to_prefix}")
    set(PRSM_PC_PREFIX "\${pcfiledir}/${prsm_pc_to_prefix}")
endif()
foreach(dir LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
        set(PRSM_PC_${dir} "${CMAKE_INSTALL_${dir}}")
    else()
        set(PRSM_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
    endif()
endforeach()
string(APPEND PRSM_PC_INCLUDEDIR /PRSM_XSLTransformer)
configure_file(${CMAKE_CURRENT_LIST_DIR}/PRSM_XSLTransformer.pc.in
               ${PROJECT_BINARY_DIR}/PRSM_XSLTransformer.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/PRSM_XSLTransformer.pc DESTINATION ${PRSM_INSTALL_PKGCONFIGDIR}
        COMPONENT dev)
