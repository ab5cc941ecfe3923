# Asset generators and developer tools. The game's build does not
# need them: what they generate is committed.
add_executable(make_art tools/make_art.cpp)
target_link_libraries(make_art PRIVATE Qt6::Gui)
add_executable(render_scene tools/render_scene.cpp)
target_link_libraries(render_scene PRIVATE vantor_qt vantor_scene)
