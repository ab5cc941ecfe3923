# Asset generators and developer tools, one per tools/*.cpp. The game's build does not
# need them: what they generate is committed.
file(GLOB VANTOR_TOOLS CONFIGURE_DEPENDS tools/*.cpp)
foreach(source ${VANTOR_TOOLS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE vantor_app vantor_fakes)
endforeach()
