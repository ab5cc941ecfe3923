# The real platform: Qt for the window, text and bitmaps, OpenAL for sound, SDL2 for the
# joystick, XCB for the keyboard's key map and the shared-memory present. Only these libraries and app/ include them.
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
find_package(OpenAL REQUIRED)
find_package(SDL2 REQUIRED)
find_package(X11 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB_SHM REQUIRED IMPORTED_TARGET xcb-shm)
pkg_check_modules(XCB_XINPUT REQUIRED IMPORTED_TARGET xcb-xinput)

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

file(GLOB VANTOR_QT_SOURCES CONFIGURE_DEPENDS platform/qt/*.cpp platform/qt/*.h)
file(GLOB VANTOR_AL_SOURCES CONFIGURE_DEPENDS platform/openal/*.cpp)
file(GLOB VANTOR_SDL_SOURCES CONFIGURE_DEPENDS platform/sdl/*.cpp)
file(GLOB VANTOR_X11_SOURCES CONFIGURE_DEPENDS platform/x11/*.cpp)

add_library(vantor_platform STATIC
  ${VANTOR_QT_SOURCES} ${VANTOR_AL_SOURCES} ${VANTOR_SDL_SOURCES} ${VANTOR_X11_SOURCES})
target_link_libraries(vantor_platform PUBLIC vantor_core Qt6::Gui Qt6::Widgets
  OpenAL::OpenAL X11::xcb PkgConfig::XCB_SHM PkgConfig::XCB_XINPUT ${CMAKE_DL_LIBS})
# SDL is opened at run time, only once a joystick may be there: its header, not its library.
target_include_directories(vantor_platform PRIVATE
  $<TARGET_PROPERTY:SDL2::SDL2,INTERFACE_INCLUDE_DIRECTORIES>)

file(GLOB VANTOR_APP_SOURCES CONFIGURE_DEPENDS app/*.cpp app/*.h app/*.qrc)
list(FILTER VANTOR_APP_SOURCES EXCLUDE REGEX ".*/main\\.cpp$")
add_library(vantor_app STATIC ${VANTOR_APP_SOURCES})
target_link_libraries(vantor_app PUBLIC vantor_platform)

add_executable(vantor app/main.cpp)
target_link_libraries(vantor PRIVATE vantor_app)

file(GLOB VANTOR_DEVICE_TESTS CONFIGURE_DEPENDS tests/devices/*.cpp)
if(VANTOR_DEVICE_TESTS)
  add_executable(device_tests ${VANTOR_DEVICE_TESTS})
  target_link_libraries(device_tests PRIVATE vantor_platform vantor_fakes GTest::gtest GTest::gtest_main
    X11::X11 X11::Xtst)
  gtest_discover_tests(device_tests WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

file(GLOB VANTOR_QT_TESTS CONFIGURE_DEPENDS tests/qt/*.cpp)
if(VANTOR_QT_TESTS)
  add_executable(qt_tests ${VANTOR_QT_TESTS})
  target_link_libraries(qt_tests PRIVATE vantor_app vantor_fakes Qt6::Test GTest::gtest)
  gtest_discover_tests(qt_tests WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()

include(cmake/Install.cmake)

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
