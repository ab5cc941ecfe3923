# libFuzzer targets, one per tests/fuzz/*_fuzzer.cpp, with AddressSanitizer and
# UndefinedBehaviorSanitizer. Configure this tree with clang++ and VANTOR_FUZZERS=ON.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
set(VANTOR_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
target_compile_options(vantor_core PRIVATE ${VANTOR_FUZZ_FLAGS})
target_compile_options(vantor_fakes PRIVATE ${VANTOR_FUZZ_FLAGS})

file(GLOB VANTOR_FUZZ_QT_SOURCES CONFIGURE_DEPENDS platform/qt/*.cpp)
add_library(vantor_fuzz_qt STATIC ${VANTOR_FUZZ_QT_SOURCES})
target_link_libraries(vantor_fuzz_qt PUBLIC vantor_core Qt6::Gui Qt6::Widgets)
target_compile_options(vantor_fuzz_qt PRIVATE ${VANTOR_FUZZ_FLAGS})

file(GLOB VANTOR_FUZZ_TARGETS CONFIGURE_DEPENDS tests/fuzz/*_fuzzer.cpp)
foreach(source ${VANTOR_FUZZ_TARGETS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE vantor_fuzz_qt vantor_fakes)
endforeach()
