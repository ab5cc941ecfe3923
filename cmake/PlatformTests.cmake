# The tests of the real platform, the shell and the whole game; with VANTOR_TESTS only.
find_package(Qt6 REQUIRED COMPONENTS Test)

# A test binary's cases that need a display run once more under a private Xvfb, each
# group on displays of its own (from first_display up, clear of the end-to-end tests'
# 90..140). Passes only if one case ran and passed: a skip or an empty filter fails.
find_program(VANTOR_XVFB_RUN xvfb-run)
function(vantor_add_private_x_test name first_display target filter environment)
  if(NOT VANTOR_XVFB_RUN OR NOT TARGET ${target})
    return()
  endif()
  add_test(NAME ${name}
    COMMAND ${VANTOR_XVFB_RUN} -a -n ${first_display} -s "-screen 0 1024x768x24 -nolisten tcp"
            $<TARGET_FILE:${target}> --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 60
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\.")
endfunction()

add_executable(device_tests
  tests/devices/FrameChecksumTest.cpp tests/devices/KeymapTest.cpp
  tests/devices/OpenAlSoundTest.cpp tests/devices/QtBitmapLoaderTest.cpp
  tests/devices/QtTextPainterTest.cpp tests/devices/SdlJoystickTest.cpp)
target_link_libraries(device_tests PRIVATE vantor_qt vantor_openal vantor_sdl vantor_x11
  vantor_desktop vantor_linux vantor_scene GTest::gtest GTest::gtest_main X11::X11 X11::Xtst)
gtest_discover_tests(device_tests WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

add_executable(qt_tests
  tests/qt/AboutDlgTest.cpp tests/qt/HighScoreDlgTest.cpp tests/qt/LinkOpenerTest.cpp
  tests/qt/MainFrameTest.cpp tests/qt/QtTestMain.cpp)
target_link_libraries(qt_tests PRIVATE vantor_app vantor_fakes Qt6::Test GTest::gtest)
gtest_discover_tests(qt_tests WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

add_test(NAME install_test
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/install_test.sh
          ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(install_test PROPERTIES TIMEOUT 60)

# The Debian package, built from a copy of the tree and checked as a player gets it; the
# .deb is left in the build folder. It is the longest test, so ctest starts it first.
add_test(NAME package_test
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/package_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(package_test PROPERTIES TIMEOUT 900 COST 10000)

# The desktop's own link handler needs a display.
vantor_add_private_x_test(link_opener_on_x11 150 qt_tests FakeDesktop.OnX11* QT_QPA_PLATFORM=xcb)

# The key map read from a real server, with keys typed into it.
vantor_add_private_x_test(keyboard_on_x11 160 device_tests KeymapTest.OnX11* VANTOR_PRIVATE_X_SERVER=1)

# The real binary under Xvfb with real key events.
add_test(NAME e2e_whole_game
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/play_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor>)
set_tests_properties(e2e_whole_game PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
add_test(NAME e2e_whole_game_openbox
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/play_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor> openbox)
set_tests_properties(e2e_whole_game_openbox PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)

# The same binary on the desktops players have: a Wayland compositor, a sound server.
add_test(NAME e2e_wayland
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/wayland_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor>)
add_test(NAME e2e_sound_server
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/sound_server_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor>)
set_tests_properties(e2e_wayland e2e_sound_server PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)

# F11 full screen and a desktop scaled 2x, on a screen large enough for both.
add_test(NAME e2e_full_screen_and_2x
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/fullscreen_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor>)
set_tests_properties(e2e_full_screen_and_2x PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)

# The X server killed under the running game, and termination signals during start-up.
add_test(NAME e2e_x_server_loss
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/x_loss_test.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:vantor>)
set_tests_properties(e2e_x_server_loss PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
