# Installing the desktop program, and its Debian package.
#
# The layout is the one Debian gives games, in any prefix: the program in
# games/, its images in share/games/marchfire/. The program finds them there
# through a path relative to its own folder, so an installed tree still plays
# when it is moved or unpacked elsewhere. Outside the package, bin/marchfire
# links to the program: games/ is on nobody's PATH in ~/.local.
include(GNUInstallDirs)

set(MARCHFIRE_INSTALL_GAMESDIR "games" CACHE STRING
  "Where the program is installed (relative to the prefix, or absolute)")
set(MARCHFIRE_INSTALL_GAMEDATADIR "${CMAKE_INSTALL_DATADIR}/games/marchfire" CACHE STRING
  "Where the game's images are installed (relative to the prefix, or absolute)")

# The path from one install folder to another. Two folders relative to the
# prefix get a common root, so the path comes out the same for every prefix;
# where only one of them moves with the prefix, the other's full path is used.
function(marchfire_install_path_between from to result)
  if(IS_ABSOLUTE "${from}" AND NOT IS_ABSOLUTE "${to}")
    set(${result} "${CMAKE_INSTALL_PREFIX}/${to}" PARENT_SCOPE)
  elseif(IS_ABSOLUTE "${to}" AND NOT IS_ABSOLUTE "${from}")
    set(${result} "${to}" PARENT_SCOPE)
  else()
    if(NOT IS_ABSOLUTE "${from}")
      set(from "/prefix/${from}")
      set(to "/prefix/${to}")
    endif()
    file(RELATIVE_PATH _between "${from}" "${to}")
    set(${result} "${_between}" PARENT_SCOPE)
  endif()
endfunction()

install(TARGETS marchfire RUNTIME DESTINATION "${MARCHFIRE_INSTALL_GAMESDIR}")
# A stripped install (the package's) also drops the compiler's notes, as
# Debian's own packages do.
if(CMAKE_OBJCOPY)
  set(_marchfire_installed_program "${MARCHFIRE_INSTALL_GAMESDIR}/marchfire")
  if(NOT IS_ABSOLUTE "${_marchfire_installed_program}")
    set(_marchfire_installed_program "\${CMAKE_INSTALL_PREFIX}/${_marchfire_installed_program}")
  endif()
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}${_marchfire_installed_program}\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endif()
install(FILES ${MARCHFIRE_IMAGE_FILES} DESTINATION "${MARCHFIRE_INSTALL_GAMEDATADIR}")

# The third place the program looks for its images, after its own folder and
# the working directory.
marchfire_install_path_between("${MARCHFIRE_INSTALL_GAMESDIR}" "${MARCHFIRE_INSTALL_GAMEDATADIR}"
  _marchfire_data_folder)
set_property(SOURCE files.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  "MARCHFIRE_DATA_FOLDER=\"${_marchfire_data_folder}/\"")

# The command: bin/marchfire -> ../games/marchfire. Debian's own PATH has
# /usr/games, so the package leaves this part out.
marchfire_install_path_between("${CMAKE_INSTALL_BINDIR}" "${MARCHFIRE_INSTALL_GAMESDIR}"
  _marchfire_link_folder)
file(CREATE_LINK "${_marchfire_link_folder}/marchfire" "${CMAKE_CURRENT_BINARY_DIR}/marchfire-command"
  SYMBOLIC)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/marchfire-command"
  DESTINATION "${CMAKE_INSTALL_BINDIR}" RENAME marchfire COMPONENT command_link)

install(FILES marchfire.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES packaging/io.github.marchfire.Marchfire.metainfo.xml
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(_png ${MARCHFIRE_ICON_PNG_FILES})
  # marchfire_32.png -> icons/hicolor/32x32/apps/marchfire.png
  string(REGEX MATCH "_([0-9]+)\\.png$" _size_match "${_png}")
  set(_size "${CMAKE_MATCH_1}")
  install(FILES "${_png}"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
    RENAME marchfire.png)
endforeach()

# The manual page (with this version filled in) and the changelog, compressed
# as Debian wants them: at the highest level, with no name or time inside, so
# every build gives the same bytes.
configure_file(packaging/marchfire.6.in "${CMAKE_CURRENT_BINARY_DIR}/marchfire.6" @ONLY)
set(_marchfire_compressed "")
foreach(_source "${CMAKE_CURRENT_BINARY_DIR}/marchfire.6"
    "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog")
  get_filename_component(_name "${_source}" NAME)
  set(_gz "${CMAKE_CURRENT_BINARY_DIR}/${_name}.gz")
  add_custom_command(OUTPUT "${_gz}"
    COMMAND gzip -9n -c "${_source}" > "${_gz}"
    DEPENDS "${_source}"
    COMMENT "Compressing ${_name}"
    VERBATIM)
  list(APPEND _marchfire_compressed "${_gz}")
endforeach()
add_custom_target(marchfire_compressed_docs ALL DEPENDS ${_marchfire_compressed})
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/marchfire.6.gz"
  DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz" packaging/copyright
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# ---- the Debian package: cpack -G DEB in the build folder
set(CPACK_PACKAGE_NAME marchfire)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade shooter against a marching grid of enemies")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A grid of eight by four enemies marches across the screen and drops toward\n"
  "the player, who moves along the bottom, fires upward and hides behind two\n"
  "shields. Four waves, each faster than the last.\n"
  ".\n"
  "The game runs full screen with its 1024 x 768 picture scaled to fit, or in\n"
  "a window. It is played with the keyboard or a gamepad.")
set(CPACK_PACKAGE_CONTACT "Marchfire Developers <marchfire@users.noreply.example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://marchfire.github.io/")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Everything but the bin/ link, in one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
include(CPack)
