# The shipping configuration of the executables a product ships (tarvo.exe,
# tarvoc.exe and their 32-bit pairs): built for size, unused code and data
# dropped at link time, and stripped. What the linker kept, and from which
# library, is written to maps/<name>.map in the build tree, so that a change
# in size can be explained; the debug information goes to bin/<name>.debug,
# which the shipped file names in its debug link for crash analysis.
#
# The layer libraries are compiled the same way, since they are what the
# executables are made of; the test programs that link them keep their own
# flags.
#
# Without exceptions and RTTI: nothing in the launcher catches an exception it
# could recover from, and the executables define the few runtime pieces that
# would otherwise throw (core/cxx_runtime.cpp). The objects carry both machine
# code, for the tests that link the libraries, and the compiler's own form,
# which the executables' link optimises as a whole; one partition, since GCC
# 12 fails on the Windows target when the whole program is split.

set(TARVO_SHIPPING_COMPILE_OPTIONS -Os -g -ffunction-sections -fdata-sections -fno-exceptions
    -fno-rtti -flto -ffat-lto-objects)
set(TARVO_SHIPPING_LINK_OPTIONS -Os -g -flto -flto-partition=one -fuse-linker-plugin
    -Wl,--gc-sections)

# Every other program links the libraries' machine code alone: through the
# linker plugin, the 32-bit linker takes the compiler's form of an inline
# function in a library and the test's own copy of it for two definitions.
if(WIN32)
  add_link_options(-fno-use-linker-plugin)
endif()

# tarvo_shipping_library(target...): compiled for size, each function and
# object in a section of its own so that the linker can drop what nothing uses.
function(tarvo_shipping_library)
  foreach(target IN LISTS ARGN)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      target_compile_options(${target} PRIVATE
        "$<$<COMPILE_LANGUAGE:C,CXX>:${TARVO_SHIPPING_COMPILE_OPTIONS}>")
    endif()
  endforeach()
endfunction()

# tarvo_shipping_executable(target): linked with the map and section garbage
# collection; after the link the debug information moves to its own file.
function(tarvo_shipping_executable target)
  tarvo_shipping_library(${target})
  set(maps ${CMAKE_BINARY_DIR}/maps)
  file(MAKE_DIRECTORY ${maps})
  get_target_property(name ${target} OUTPUT_NAME)
  target_link_options(${target} PRIVATE ${TARVO_SHIPPING_LINK_OPTIONS} -Wl,-Map,${maps}/${name}.map)
  set(executable $<TARGET_FILE:${target}>)
  set(debug_file $<TARGET_FILE_DIR:${target}>/${name}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${executable} ${debug_file}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${debug_file} ${executable}
    VERBATIM)
endfunction()
