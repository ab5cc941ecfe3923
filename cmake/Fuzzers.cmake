# libFuzzer targets, one per tests/fuzz/*_fuzzer.cpp, with AddressSanitizer and
# UndefinedBehaviorSanitizer. Configure this tree with clang++ and VANTOR_FUZZERS=ON.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
set(VANTOR_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)

include(cmake/QtRoom.cmake)
foreach(target vantor_contracts vantor_soft3d vantor_null vantor_posix vantor_linux vantor_core
               vantor_fakes vantor_qt)
  target_compile_options(${target} PRIVATE ${VANTOR_FUZZ_FLAGS})
endforeach()

foreach(name bitmap_fuzzer hiscore_fuzzer wav_fuzzer)
  add_executable(${name} tests/fuzz/${name}.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE vantor_qt vantor_fakes vantor_null)
endforeach()
