# What `cmake --install` puts on a system, and the Debian package CPack makes of it
# (scripts/package.sh). The icons are rendered from data/icons/xiepin.svg and kept beside it.
include(GNUInstallDirs)

install(TARGETS xiepin xiepin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET xiepin-radio)  # not on Windows
    install(TARGETS xiepin-radio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES data/xiepin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The .qz type, so that a file manager opens those files here; dpkg's trigger updates the database.
install(FILES data/mime/xiepin.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES data/icons/xiepin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES data/icons/xiepin-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME xiepin.png)
endforeach()
# Manual pages go compressed, as Debian has them; plain where there is no gzip.
find_program(XIEPIN_GZIP gzip)
foreach(page xiepin.1 xiepin-cli.1 xiepin-radio.1)
    set(source ${CMAKE_SOURCE_DIR}/data/man/${page})
    if(XIEPIN_GZIP)
        set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${packed} DEPENDS ${source}
                           COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/man/${page}
                           COMMAND ${XIEPIN_GZIP} -9nf ${CMAKE_BINARY_DIR}/man/${page} VERBATIM)
        list(APPEND XIEPIN_MAN_PAGES ${packed})
    else()
        list(APPEND XIEPIN_MAN_PAGES ${source})
    endif()
endforeach()
add_custom_target(xiepin_man ALL DEPENDS ${XIEPIN_MAN_PAGES})
install(FILES ${XIEPIN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# udev reads /usr/lib/udev/rules.d; under another prefix the rule lands beside the rest.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(XIEPIN_UDEV_DIR /usr/lib/udev/rules.d)
else()
    set(XIEPIN_UDEV_DIR ${CMAKE_INSTALL_LIBDIR}/udev/rules.d)
endif()
install(FILES data/udev/60-xiepin-cables.rules DESTINATION ${XIEPIN_UDEV_DIR})
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_PACKAGE_NAME xiepin)
set(CPACK_PACKAGE_VENDOR xiepin)
set(CPACK_PACKAGE_CONTACT "xiepin developers <xiepin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programmer for a 16-channel handheld radio (写频软件)")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads and writes the channels, settings and signalling tables of a 16-channel handheld radio\nover its serial programming cable: a window (xiepin), a command line (xiepin-cli) and a\nvirtual radio on a pseudo-terminal to try them without one (xiepin-radio).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# Libraries as dpkg-shlibdeps finds them in the programs. The X11 platform plugin comes with
# libqt6gui6; Wayland's is a package of its own, without which the window runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, fonts-noto-cjk, qt6-translations-l10n, qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_SOURCE_DIR}/build-package)
include(CPack)
