# Desktop integration: what `cmake --install` puts where a Linux desktop finds it.
# The default layout, for a prefix of one's own:
#   bin/vantor                              the game (it reads data/ in its current folder)
#   bin/vantor-launch                       starts it in the player's own folder
#   share/vantor/data/                      the title picture and the five sound effects
# With VANTOR_GAMES_LAYOUT, as Debian lays out games (the package uses it):
#   games/vantor                            the launcher, the one command a player types
#   lib/games/vantor/vantor                 the game itself, which only the launcher starts
#   share/games/vantor/                     the title picture and the five sound effects
# Both add the icons, the desktop entry, the AppStream metainfo and the manual page, all
# under share/. The scores are never installed: each player's launcher folder keeps its own.
include(GNUInstallDirs)

option(VANTOR_GAMES_LAYOUT "Install as Debian lays out games" OFF)
if(VANTOR_GAMES_LAYOUT)
  set(VANTOR_LAUNCHER_DIR games)
  set(VANTOR_LAUNCHER_NAME vantor)
  set(VANTOR_PROGRAM_DIR lib/games/vantor)
  set(VANTOR_ASSET_DIR ${CMAKE_INSTALL_DATADIR}/games/vantor)
else()
  set(VANTOR_LAUNCHER_DIR bin)
  set(VANTOR_LAUNCHER_NAME vantor-launch)
  set(VANTOR_PROGRAM_DIR bin)
  set(VANTOR_ASSET_DIR ${CMAKE_INSTALL_DATADIR}/vantor/data)
endif()
set(VANTOR_FULL_ASSET_DIR ${CMAKE_INSTALL_PREFIX}/${VANTOR_ASSET_DIR})
# The launcher finds the game and the assets from its own folder, so an installed tree
# may move (the package's test runs it unpacked into a scratch folder).
file(RELATIVE_PATH VANTOR_LAUNCHER_TO_PROGRAM
  ${CMAKE_INSTALL_PREFIX}/${VANTOR_LAUNCHER_DIR} ${CMAKE_INSTALL_PREFIX}/${VANTOR_PROGRAM_DIR}/vantor)
file(RELATIVE_PATH VANTOR_BIN_TO_ASSETS
  ${CMAKE_INSTALL_PREFIX}/${VANTOR_LAUNCHER_DIR} ${VANTOR_FULL_ASSET_DIR})
string(TOUPPER ${VANTOR_LAUNCHER_NAME} VANTOR_LAUNCHER_TITLE)
# In a folder of their own: the launcher may share its name with the game's binary.
set(VANTOR_CONFIGURED ${CMAKE_BINARY_DIR}/configured)
configure_file(tools/vantor-launch.in ${VANTOR_CONFIGURED}/${VANTOR_LAUNCHER_NAME} @ONLY)
configure_file(tools/vantor.desktop.in ${VANTOR_CONFIGURED}/vantor.desktop @ONLY)
configure_file(tools/vantor.6.in ${VANTOR_CONFIGURED}/${VANTOR_LAUNCHER_NAME}.6 @ONLY)
# AppStream 1.0 names the developer in <developer>; Debian 12's AppStream 0.16 knows only
# <developer_name>, and its software centre would show no developer for the newer form.
find_program(VANTOR_APPSTREAMCLI appstreamcli)
set(VANTOR_DEVELOPER_ELEMENT "<developer id=\"com.example\">\n    <name>Marvesto</name>\n  </developer>")
if(VANTOR_APPSTREAMCLI)
  execute_process(COMMAND ${VANTOR_APPSTREAMCLI} --version OUTPUT_VARIABLE VANTOR_APPSTREAM_VERSION)
  string(REGEX MATCH "[0-9]+\\.[0-9]+" VANTOR_APPSTREAM_VERSION "${VANTOR_APPSTREAM_VERSION}")
  if(VANTOR_APPSTREAM_VERSION VERSION_LESS 1.0)
    set(VANTOR_DEVELOPER_ELEMENT "<developer_name>Marvesto</developer_name>")
  endif()
endif()
configure_file(tools/com.example.vantor.metainfo.xml.in ${VANTOR_CONFIGURED}/com.example.vantor.metainfo.xml @ONLY)

install(TARGETS vantor RUNTIME DESTINATION ${VANTOR_PROGRAM_DIR})
install(PROGRAMS ${VANTOR_CONFIGURED}/${VANTOR_LAUNCHER_NAME} DESTINATION ${VANTOR_LAUNCHER_DIR})
install(FILES data/title.bmp data/laser.wav data/bullet.wav data/explo.wav data/ready.wav
              data/over.wav
        DESTINATION ${VANTOR_ASSET_DIR})
foreach(size 16 32 48 64 128)
  install(FILES app/icons/vantor-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME vantor.png)
endforeach()
install(FILES ${VANTOR_CONFIGURED}/vantor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTOR_CONFIGURED}/com.example.vantor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VANTOR_CONFIGURED}/${VANTOR_LAUNCHER_NAME}.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
