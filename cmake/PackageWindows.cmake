# Installing on Windows, and the Windows packages: a portable .zip and an NSIS installer
# (cpack in the build folder). Everything goes into one folder: the programs, and the
# documentation in doc\, where the about box finds the home page.
install(TARGETS discometer-cli RUNTIME DESTINATION .)
# The window comes with the Win32 front end.
if(TARGET discometer)
    install(TARGETS discometer RUNTIME DESTINATION .)
endif()
install(FILES doc/index.html README.md LICENSE DESTINATION doc)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Discometer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Discometer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure how fast an optical drive reads a data disc")
set(CPACK_PACKAGE_FILE_NAME discometer-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Discometer)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Discometer)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The installer: Start-menu entries for the window and the documentation, an uninstaller,
# and an earlier installation removed first.
set(CPACK_NSIS_PACKAGE_NAME "Discometer ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Discometer ${PROJECT_VERSION}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MENU_LINKS "doc/index.html" "Discometer Help")
if(TARGET discometer)
    set(CPACK_PACKAGE_EXECUTABLES discometer Discometer)
endif()
# The installer is named as such; the .zip keeps the plain name.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/PackageWindowsNames.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
    "if(CPACK_GENERATOR STREQUAL \"NSIS\")\n"
    "    set(CPACK_PACKAGE_FILE_NAME discometer-${PROJECT_VERSION}-win32-setup)\n"
    "endif()\n")
include(CPack)
