# Qt behind the contracts: text on the back buffer, pictures, key events, message boxes.
# The game and the fuzzers both build it.
add_library(vantor_qt STATIC
  platform/qt/QtBitmapLoader.cpp platform/qt/QtKeyboard.cpp platform/qt/QtMessageBox.cpp
  platform/qt/QtTextPainter.cpp)
target_link_libraries(vantor_qt PUBLIC vantor_contracts Qt6::Gui Qt6::Widgets
  PRIVATE vantor_posix vantor_linux)
