# Desktop integration: what `cmake --install` puts where a Linux desktop finds it.
#   bin/vantor                              the game (its rule stands in Platform.cmake)
#   bin/vantor-launch                       starts it in the player's own folder
#   share/vantor/data/                      the title picture and the five sound effects
#   share/icons/hicolor/<n>x<n>/apps/vantor.png, share/applications/vantor.desktop
# The scores are never installed: each player's launcher folder keeps its own.
include(GNUInstallDirs)

set(VANTOR_ASSET_DIR ${CMAKE_INSTALL_DATADIR}/vantor/data)
# The launcher finds the assets from its own folder, so an installed tree may move.
file(RELATIVE_PATH VANTOR_BIN_TO_ASSETS
  ${CMAKE_INSTALL_PREFIX}/bin ${CMAKE_INSTALL_FULL_DATADIR}/vantor/data)
configure_file(tools/vantor-launch.in ${CMAKE_BINARY_DIR}/vantor-launch @ONLY)

install(PROGRAMS ${CMAKE_BINARY_DIR}/vantor-launch DESTINATION bin)
install(FILES data/title.bmp data/laser.wav data/bullet.wav data/explo.wav data/ready.wav
              data/over.wav
        DESTINATION ${VANTOR_ASSET_DIR})
foreach(size 16 32 48 64 128)
  install(FILES app/icons/vantor-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME vantor.png)
endforeach()
install(FILES tools/vantor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

add_test(NAME install_test
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/install_test.sh
          ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(install_test PROPERTIES TIMEOUT 60)

# The desktop's own link handler needs a display: the link opener's test of it runs once
# more under a private Xvfb (displays from 150 up, clear of the end-to-end tests' range).
find_program(VANTOR_XVFB_RUN xvfb-run)
if(VANTOR_XVFB_RUN AND TARGET qt_tests)
  add_test(NAME link_opener_on_x11
    COMMAND ${VANTOR_XVFB_RUN} -a -n 150 -s "-screen 0 1024x768x24 -nolisten tcp"
            $<TARGET_FILE:qt_tests> --gtest_filter=FakeDesktop.OnX11*)
  # Passes only if the test ran and passed: a skip or an empty filter is a failure.
  set_tests_properties(link_opener_on_x11 PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 60
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\.")
endif()
