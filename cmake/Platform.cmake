# The real platform: Qt for the window, text and bitmaps, OpenAL for sound, SDL2 for the
# joystick, XCB for the keyboard's key map and the shared-memory present. Only these libraries and app/ include them.
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
find_package(OpenAL REQUIRED)
find_package(SDL2 REQUIRED)
find_package(X11 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB_SHM REQUIRED IMPORTED_TARGET xcb-shm)
pkg_check_modules(XCB_XINPUT REQUIRED IMPORTED_TARGET xcb-xinput)


file(GLOB VANTOR_QT_SOURCES CONFIGURE_DEPENDS platform/qt/*.cpp platform/qt/*.h)
file(GLOB VANTOR_AL_SOURCES CONFIGURE_DEPENDS platform/openal/*.cpp)
file(GLOB VANTOR_SDL_SOURCES CONFIGURE_DEPENDS platform/sdl/*.cpp)
file(GLOB VANTOR_X11_SOURCES CONFIGURE_DEPENDS platform/x11/*.cpp platform/desktop/*.cpp)

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

include(cmake/Install.cmake)
