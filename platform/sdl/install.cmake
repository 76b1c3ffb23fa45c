# Installing the desktop program, and its Debian package.
#
# The program and its images live together in one folder of their own (the
# game finds its images beside itself); the command on the PATH is a link
# to it, and the desktop entry and icon put the game in the menu.
include(GNUInstallDirs)

set(MARCHFIRE_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/marchfire")

install(TARGETS marchfire RUNTIME DESTINATION "${MARCHFIRE_GAME_DIR}")
install(FILES ${MARCHFIRE_IMAGE_FILES} DESTINATION "${MARCHFIRE_GAME_DIR}")

# bin/marchfire -> ../libexec/marchfire/marchfire: relative, so it holds in
# any prefix and inside the package. (The two folders are relative to the
# prefix unless set absolute; any common root gives the same relative path.)
set(_marchfire_bin_dir "${CMAKE_INSTALL_BINDIR}")
set(_marchfire_game_dir "${MARCHFIRE_GAME_DIR}")
if(NOT IS_ABSOLUTE "${_marchfire_bin_dir}")
  set(_marchfire_bin_dir "/prefix/${_marchfire_bin_dir}")
endif()
if(NOT IS_ABSOLUTE "${_marchfire_game_dir}")
  set(_marchfire_game_dir "/prefix/${_marchfire_game_dir}")
endif()
file(RELATIVE_PATH _marchfire_link_target "${_marchfire_bin_dir}" "${_marchfire_game_dir}/marchfire")
file(CREATE_LINK "${_marchfire_link_target}" "${CMAKE_CURRENT_BINARY_DIR}/marchfire-command"
  SYMBOLIC)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/marchfire-command"
  DESTINATION "${CMAKE_INSTALL_BINDIR}" RENAME marchfire)

install(FILES marchfire.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
foreach(_png ${MARCHFIRE_ICON_PNG_FILES})
  # marchfire_32.png -> icons/hicolor/32x32/apps/marchfire.png
  string(REGEX MATCH "_([0-9]+)\\.png$" _size_match "${_png}")
  set(_size "${CMAKE_MATCH_1}")
  install(FILES "${_png}"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
    RENAME marchfire.png)
endforeach()

# ---- the Debian package: cpack -G DEB in the build folder
set(CPACK_PACKAGE_NAME marchfire)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen arcade shooter against a marching grid")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A grid of eight by four enemies marches across the screen and drops toward the\n"
  "player, who moves along the bottom, fires upward and hides behind two shields.\n"
  "Four waves, each faster than the last.")
set(CPACK_PACKAGE_CONTACT "marchfire developers <marchfire@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
include(CPack)
