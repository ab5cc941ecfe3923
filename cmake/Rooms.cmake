# The game core and the platform rooms it needs, none of which includes Qt, OpenAL, SDL
# or X11: these build everywhere, VANTOR_CORE_ONLY included.

# The contracts the game reaches the machine through, and the pixel and depth buffers
# that the software device, the text painter and the presenters share.
add_library(vantor_contracts STATIC
  platform/DepthBuffer.cpp platform/DirtyChunks.cpp platform/Surface.cpp)
target_include_directories(vantor_contracts PUBLIC ${CMAKE_SOURCE_DIR})

# Our software fixed-function 3D device.
add_library(vantor_soft3d STATIC
  platform/soft3d/Clipper.cpp platform/soft3d/Rasterizer.cpp platform/soft3d/SoftDevice3D.cpp)
target_link_libraries(vantor_soft3d PUBLIC vantor_contracts)

# What stands in for a missing input or sound device.
add_library(vantor_null STATIC
  platform/null/NullInputSystem.cpp platform/null/NullSoundSystem.cpp)
target_link_libraries(vantor_null PUBLIC vantor_contracts)

# The periodic timer thread, plain files and the debug line, on POSIX alone.
add_library(vantor_posix STATIC
  platform/posix/DebugOut.cpp platform/posix/RegularFile.cpp platform/posix/ThreadTimer.cpp)
target_link_libraries(vantor_posix PUBLIC vantor_contracts Threads::Threads)

# Linux facts that need no library: key codes, the input device nodes.
add_library(vantor_linux STATIC
  platform/linux/JoystickNodeWatch.cpp platform/linux/ScanCodeMap.cpp)
target_link_libraries(vantor_linux PUBLIC vantor_contracts)

# The game itself: controller, states, objects, display, input and sound.
add_library(vantor_core STATIC
  game/Cp1252.cpp game/Game.cpp game/Globals.cpp game/HighScores.cpp
  game/PendingHighScore.cpp game/PlayState.cpp game/ScoreFile.cpp game/StageScripts.cpp
  game/TitleState.cpp
  objects/Enemy.cpp objects/EnemyShot.cpp objects/Explosion.cpp objects/GameObject.cpp
  objects/ObjectTable.cpp objects/PlayerShip.cpp objects/PlayerShot.cpp
  objects/TitleShip.cpp objects/Track.cpp
  render/BitmapSurface.cpp render/Camera.cpp render/Display.cpp render/FrameDamage.cpp
  render/MagnifiedFrame.cpp render/Math3D.cpp
  render/Meshes.cpp
  input/Input.cpp
  sound/Sound.cpp)
target_link_libraries(vantor_core PUBLIC vantor_contracts vantor_soft3d vantor_posix Threads::Threads)
