# The command-line companion, run as a process by its tests.
discometer_test(test_cli SOURCES test_cli.cpp LIBS discometer_qt)
add_dependencies(test_cli discometer-cli)
target_compile_definitions(test_cli PRIVATE
    DISCOMETER_CLI="$<TARGET_FILE:discometer-cli>"
    DISCOMETER_VERSION="${PROJECT_VERSION}"
    DISCOMETER_BUILD_DIR="${PROJECT_BINARY_DIR}"
    DISCOMETER_CMAKE="${CMAKE_COMMAND}"
    DISCOMETER_CPACK="${CMAKE_CPACK_COMMAND}"
    DISCOMETER_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# The install tests install the icon and the compressed manual pages and changelog, which are
# made at build time, and package the window's program too.
include(GNUInstallDirs)
add_dependencies(test_cli discometer_icon discometer_compressed discometer)
target_compile_definitions(test_cli PRIVATE DISCOMETER_INSTALL_DOCDIR="${CMAKE_INSTALL_DOCDIR}")

# What the companion writes and says, with its parts reached in the process; and the
# window's start without a display.
discometer_test(test_cli_output SOURCES test_cli_output.cpp LIBS discometer_cli)
add_dependencies(test_cli_output discometer-cli discometer)
target_compile_definitions(test_cli_output PRIVATE
    DISCOMETER_CLI="$<TARGET_FILE:discometer-cli>"
    DISCOMETER_GUI="$<TARGET_FILE:discometer>"
    DISCOMETER_VERSION="${PROJECT_VERSION}"
    DISCOMETER_BUILD_DIR="${PROJECT_BINARY_DIR}"
    DISCOMETER_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
