# Asset generators and developer tools, one per tools/*.cpp. The game's build does not
# need them: what they generate is committed.
file(GLOB VANTOR_TOOLS CONFIGURE_DEPENDS tools/*.cpp)
foreach(source ${VANTOR_TOOLS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  # The platform layer is all a tool needs; the app library would drag in the window.
  target_link_libraries(${name} PRIVATE vantor_platform vantor_fakes)
endforeach()
