# The real platform: Qt for the window, text and bitmaps, OpenAL for sound, SDL2 for the
# joystick, XCB for the keyboard's key map and the shared-memory present. Each library
# has its room under platform/, and only that room and app/ include it.
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
find_package(OpenAL REQUIRED)
find_package(SDL2 REQUIRED)
find_package(X11 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB_SHM REQUIRED IMPORTED_TARGET xcb-shm)
pkg_check_modules(XCB_XINPUT REQUIRED IMPORTED_TARGET xcb-xinput)
pkg_check_modules(XCB_RENDER REQUIRED IMPORTED_TARGET xcb-render)


include(cmake/QtRoom.cmake)

add_library(vantor_openal STATIC
  platform/openal/OpenAlIdleDevice.cpp platform/openal/OpenAlSoundBuffer.cpp
  platform/openal/OpenAlSoundSystem.cpp platform/openal/OpenAlVoice.cpp)
target_link_libraries(vantor_openal PUBLIC vantor_contracts OpenAL::OpenAL PRIVATE vantor_posix)

# SDL is opened at run time, only once a joystick may be there: its header, not its library.
add_library(vantor_sdl STATIC
  platform/sdl/SdlJoystick.cpp platform/sdl/SdlJoystickSubsystem.cpp
  platform/sdl/SdlLibrary.cpp platform/sdl/SdlVirtualJoystick.cpp)
target_include_directories(vantor_sdl PUBLIC
  $<TARGET_PROPERTY:SDL2::SDL2,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(vantor_sdl PUBLIC vantor_contracts vantor_linux
  PRIVATE vantor_posix ${CMAKE_DL_LIBS})

add_library(vantor_x11 STATIC
  platform/x11/X11Keyboard.cpp platform/x11/X11RenderScaler.cpp platform/x11/X11ShmPresenter.cpp)
target_link_libraries(vantor_x11 PUBLIC vantor_contracts X11::xcb
  PRIVATE vantor_linux PkgConfig::XCB_SHM PkgConfig::XCB_RENDER PkgConfig::XCB_XINPUT)

# The input system of a desktop: X11's key map or Qt's key events, and SDL's joysticks.
add_library(vantor_desktop STATIC platform/desktop/DesktopInputSystem.cpp)
target_link_libraries(vantor_desktop PUBLIC vantor_contracts PRIVATE vantor_qt vantor_x11 vantor_sdl)

# The composition root: the shell, and the one place every room is put together.
add_library(vantor_app STATIC
  app/AboutDlg.cpp app/DesktopEntry.cpp app/DialogUnits.cpp app/GameApp.cpp app/GameView.cpp
  app/HighScoreEntryDlg.cpp app/HighScoreTableDlg.cpp app/Icons.cpp app/LinkOpener.cpp
  app/MainFrame.cpp app/ModalDialogs.cpp app/vantor.qrc)
target_link_libraries(vantor_app PUBLIC vantor_core vantor_qt vantor_openal vantor_desktop
  vantor_x11 Qt6::Widgets)

add_executable(vantor app/main.cpp)
target_link_libraries(vantor PRIVATE vantor_app)

include(cmake/Install.cmake)
