# Runs after CPack has built the packages. CPack gives a package that holds a shared library
# postinst and postrm scripts that call ldconfig, with no way to turn them off; Debian runs
# ldconfig through the trigger the package declares, and a postrm keeps a removed package in
# dpkg's records until it is purged. So the scripts are taken out of the finished package.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    set(tree ${deb}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    if(EXISTS ${tree}/DEBIAN/postinst OR EXISTS ${tree}/DEBIAN/postrm)
        file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
        execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE_RECURSE ${tree})
endforeach()
