# Runs one fuzz harness for a bounded number of inputs, on a copy of its seed
# corpus in the build tree, with anything it finds written beside that copy.
#   cmake -DFUZZER=<harness> -DCORPUS=<seed folder> -DWORK=<folder> -DRUNS=<inputs> -P run_fuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/findings)
file(GLOB seeds ${CORPUS}/*)
if(seeds)
  file(COPY ${seeds} DESTINATION ${WORK}/corpus)
endif()
# A run ends after its inputs or two seconds, whichever comes first, so the
# harnesses together take well under a minute on a busy machine; one input
# taking ten seconds counts as a hang.
execute_process(
  COMMAND ${FUZZER} -runs=${RUNS} -seed=1 -max_len=4096 -timeout=10 -max_total_time=2
          -artifact_prefix=${WORK}/findings/ ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${WORK}/findings")
endif()
