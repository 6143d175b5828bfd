# The Debian package: `cmake --build <dir> --target package` (or tools/package) writes
# rurevar_<version>_<arch>.deb. It holds what the install rules install, with the manual page and,
# in /usr/share/doc/rurevar, the copyright and changelog files every Debian package carries.
if(NOT (UNIX AND NOT APPLE))
    return()
endif()

set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

# The changelog's newest entry names the version being packaged.
file(STRINGS ${_packaging}/changelog _newest LIMIT_COUNT 1)
if(NOT _newest MATCHES "^rurevar \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()

# Manual pages and changelogs go compressed, without a name or time stamp in the gzip header, so
# that the same sources give the same package.
find_program(DIDOR_GZIP gzip REQUIRED)
foreach(_pair "RurevAR.1;RurevAR.1.gz" "changelog;changelog.gz")
    list(GET _pair 0 _source)
    list(GET _pair 1 _target)
    add_custom_command(
        OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/${_target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
        COMMAND ${DIDOR_GZIP} -9n -c ${_packaging}/${_source} > packaging/${_target}
        DEPENDS ${_packaging}/${_source}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        VERBATIM)
endforeach()
add_custom_target(packaging_files ALL
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/RurevAR.1.gz
            ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/RurevAR.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_packaging}/copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rurevar)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rurevar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Didor AzodoVez")
set(CPACK_PACKAGE_CONTACT "Didor AzodoVez <packages@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher for the PCE.EXE PC Engine emulator")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${_packaging}/description)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders the install rules create on their way get the usual rwxr-xr-x, whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_NAME rurevar)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/)
# The libraries come from the binary itself, through dpkg-shlibdeps. Wine starts a Windows
# PCE.EXE (and hands a DOS one on to DOSBox), and the window's layout was drawn for the Liberation
# fonts; the launcher starts and works without any of them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, dosbox, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
