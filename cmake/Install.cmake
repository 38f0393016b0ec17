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
    DEPENDS discometer-icon-png ${PROJECT_SOURCE_DIR}/ui/forms/ProgramIcon.xpm
    COMMENT "Converting the program icon to PNG")
add_custom_target(discometer_icon ALL DEPENDS ${DISCOMETER_ICON_PNG})

# Manual pages and the changelog are installed compressed, as Debian wants them: gzip -9n,
# best compression and no name or time stamp, so that the same sources give the same bytes.
find_program(DISCOMETER_GZIP gzip REQUIRED)
set(DISCOMETER_GZ_DIR ${PROJECT_BINARY_DIR}/packaging)
set(DISCOMETER_GZ_FILES)
foreach(source doc/discometer.1 doc/discometer-cli.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    set(copy ${DISCOMETER_GZ_DIR}/${name})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${DISCOMETER_GZ_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${copy}
        COMMAND ${DISCOMETER_GZIP} -9nf ${copy}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        COMMENT "Compressing ${name}")
    list(APPEND DISCOMETER_GZ_FILES ${copy}.gz)
endforeach()
add_custom_target(discometer_compressed ALL DEPENDS ${DISCOMETER_GZ_FILES})

# Components: "cli" and "gui" are the programs with their manual pages, "desktop" what the
# desktop's menus and software centres read, "doc" the documentation that the about dialog
# opens as the program's home page.
install(TARGETS discometer-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES ${DISCOMETER_GZ_DIR}/discometer-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
# Where bash-completion looks for a command's completion, under the command's name.
install(FILES packaging/discometer-cli.bash RENAME discometer-cli
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT cli)

# The window is built only where Qt is.
if(TARGET discometer)
    install(TARGETS discometer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
    install(FILES ${DISCOMETER_GZ_DIR}/discometer.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gui)
endif()

install(FILES packaging/discometer.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
install(FILES packaging/io.github.discometer.Discometer.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
install(FILES ${DISCOMETER_ICON_PNG}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps COMPONENT desktop)

# The copyright file in Debian's machine-readable format names both licences: the program's and
# that of the font its chart glyphs come from.
install(FILES doc/index.html README.md packaging/copyright ${DISCOMETER_GZ_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)

# cpack -G DEB in the build folder: one package with everything above. The libraries' own
# packages come from dpkg-shlibdeps; the rest is what the programs call at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME discometer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Discometer developers")
# The project has no mail address, but Debian's Maintainer field needs one: the default is a name
# under the reserved top-level domain .invalid, which can never receive mail. Whoever builds
# and hands out a package names themselves here.
set(DISCOMETER_PACKAGE_MAINTAINER "The Discometer developers <no-address@discometer.invalid>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGE_CONTACT "${DISCOMETER_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure how fast an optical drive reads a data disc")
# Lines of the long description stay within 79 characters (80 with the space before them).
set(CPACK_PACKAGE_DESCRIPTION
    "Discometer reads a data disc from its first sector to its last, in blocks of\n"
    "1000 sectors, times each measured read and plots the transfer speed against\n"
    "the position on the disc, marking the blocks it cannot read. Runs are saved\n"
    "as pictures and as small data files that can be replayed. discometer-cli\n"
    "does the same without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for Liberation Sans (as wide as Arial); without it the system's sans
# serif, wider, would cut its texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# The about dialog opens the home page with the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
