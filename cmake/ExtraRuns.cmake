# Runs made from other build trees, so that one ctest summary covers every test.
if(VANTOR_TSAN_DIR)
  # Every test that runs the real timer thread is named Thread*. Run twice over in one
  # process: a second pass meets whatever state the first one left behind.
  add_test(NAME tsan_threaded_tests
    COMMAND ${VANTOR_TSAN_DIR}/core_tests --gtest_filter=Thread* --gtest_repeat=2
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(tsan_threaded_tests PROPERTIES
    ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
endif()

if(VANTOR_SCALAR_DIR)
  # A build with VANTOR_SCALAR_RASTER draws with the code processors without SSE2 run:
  # the software device's tests and the golden scenes must hold there too.
  add_test(NAME scalar_drawing_tests
    COMMAND ${VANTOR_SCALAR_DIR}/core_tests
            --gtest_filter=SceneChecksumTest.*:RasterizerTest.*:SoftDeviceTest.*:ClearBookkeepingTest.*
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()

if(VANTOR_FUZZ_DIR)
  foreach(name bitmap_fuzzer hiscore_fuzzer wav_fuzzer)
    add_test(NAME ${name}_brief
      COMMAND ${CMAKE_COMMAND} -DFUZZER=${VANTOR_FUZZ_DIR}/${name}
              -DSEEDS=${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name}
              -DWORK=${VANTOR_FUZZ_DIR}/corpus-brief/${name}
              -P ${CMAKE_SOURCE_DIR}/cmake/RunFuzzer.cmake
      WORKING_DIRECTORY ${VANTOR_FUZZ_DIR})
  endforeach()
endif()
