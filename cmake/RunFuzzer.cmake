# Runs one fuzzer briefly on a scratch copy of its seed corpus: libFuzzer adds every new
# input to the corpus directory it is given, and the committed seeds must stay as they are.
#   cmake -DFUZZER=<program> -DSEEDS=<seed dir> -DWORK=<scratch dir> -P RunFuzzer.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(IS_DIRECTORY "${SEEDS}")
  file(COPY "${SEEDS}/" DESTINATION "${WORK}")
endif()
execute_process(COMMAND "${FUZZER}" -max_total_time=20 -rss_limit_mb=1024 "${WORK}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} stopped with ${result}")
endif()
