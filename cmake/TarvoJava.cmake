# Java code that runs on the build machine's Linux JDK 17 (the bridge runtime's
# agent, the sample program, the test programs): compiled into jars at build
# time. Without a JDK 17, TARVO_JDK_HOME stays empty and no jar is made; what
# needs one says so and skips.
file(GLOB TARVO_JDK_CANDIDATES /usr/lib/jvm/java-17-openjdk-*)
list(SORT TARVO_JDK_CANDIDATES)
set(TARVO_JDK_HOME "")
foreach(candidate IN LISTS TARVO_JDK_CANDIDATES)
  if(EXISTS ${candidate}/bin/javac AND EXISTS ${candidate}/bin/jar)
    set(TARVO_JDK_HOME ${candidate})
    break()
  endif()
endforeach()

# tarvo_add_jar(target OUTPUT jar SOURCES java files... [MAIN_CLASS name] [CLASS_PATH jars...])
# compiles the sources for Java 17 into the jar; a main class goes into its manifest.
function(tarvo_add_jar target)
  cmake_parse_arguments(PARSE_ARGV 1 jar "" "OUTPUT;MAIN_CLASS" "SOURCES;CLASS_PATH")
  if(NOT TARVO_JDK_HOME)
    add_custom_target(${target})
    return()
  endif()
  set(classes ${CMAKE_CURRENT_BINARY_DIR}/${target}.classes)
  set(entry "")
  if(jar_MAIN_CLASS)
    set(entry e)
  endif()
  string(REPLACE ";" ":" class_path "${jar_CLASS_PATH}")
  add_custom_command(OUTPUT ${jar_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${classes}
    COMMAND ${TARVO_JDK_HOME}/bin/javac -encoding UTF-8 --release 17 -nowarn -d ${classes}
            -cp "${class_path}" ${jar_SOURCES}
    COMMAND ${TARVO_JDK_HOME}/bin/jar cf${entry} ${jar_OUTPUT} ${jar_MAIN_CLASS} -C ${classes} .
    DEPENDS ${jar_SOURCES} ${jar_CLASS_PATH}
    COMMENT "Compiling ${target}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${jar_OUTPUT})
endfunction()
