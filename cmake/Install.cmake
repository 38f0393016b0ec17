# Installing under the usual prefix, and the Debian package.
include(GNUInstallDirs)

# The icon themes want a PNG; the window keeps its icon as XPM, so it is converted here.
add_executable(discometer-icon-png ${PROJECT_SOURCE_DIR}/packaging/IconPng.cpp)
target_include_directories(discometer-icon-png PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(discometer-icon-png PRIVATE discometer_warnings)
set(DISCOMETER_ICON_PNG ${PROJECT_BINARY_DIR}/packaging/discometer.png)
add_custom_command(OUTPUT ${DISCOMETER_ICON_PNG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND discometer-icon-png ${DISCOMETER_ICON_PNG}
    DEPENDS discometer-icon-png ${PROJECT_SOURCE_DIR}/ui/ProgramIcon.xpm
    COMMENT "Converting the program icon to PNG")
add_custom_target(discometer_icon ALL DEPENDS ${DISCOMETER_ICON_PNG})

# Components: "cli" and "gui" are the programs with their manual pages, "desktop" what the
# desktop's menus and software centres read, "doc" the documentation that the about dialog
# opens as the program's home page.
install(TARGETS discometer-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES doc/discometer-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)

# The window is built only where Qt is.
if(TARGET discometer)
    install(TARGETS discometer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
    install(FILES doc/discometer.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gui)
endif()

install(FILES packaging/discometer.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
install(FILES packaging/io.github.discometer.Discometer.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
install(FILES ${DISCOMETER_ICON_PNG}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps COMPONENT desktop)

install(FILES doc/index.html README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)

# cpack -G DEB in the build folder: one package with everything above. The libraries' own
# packages come from dpkg-shlibdeps; the rest is what the programs call at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME discometer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Discometer developers")
set(CPACK_PACKAGE_CONTACT "The Discometer developers <discometer@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure how fast an optical drive reads a data disc")
set(CPACK_PACKAGE_DESCRIPTION
    "Discometer reads a data disc from its first sector to its last, in blocks of 1000\n"
    "sectors, times each measured read and plots the transfer speed against the position\n"
    "on the disc, marking the blocks it cannot read. Runs are saved as pictures and as\n"
    "small data files that can be replayed. discometer-cli does the same without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The about dialog opens the home page with the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
