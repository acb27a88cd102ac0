# The Windows zip, unpacked into a fresh directory as a user would: it holds
# the DLL, its import library, the headers, the CMake package and the tools,
# and kivlog-doctor.exe and the example run from there under Wine.
# Run with -DBUILD=<build directory> -DEXAMPLE=<example exe> -DEMULATOR=<wine>
# -DWORK=<scratch directory>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/unpacked)
execute_process(COMMAND cpack -G ZIP --config ${BUILD}/CPackConfig.cmake -B ${WORK}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB zips ${WORK}/kivlogging-*-win64.zip)
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one kivlogging-<version>-win64.zip, found: ${zips}")
endif()
file(ARCHIVE_EXTRACT INPUT ${zips} DESTINATION ${WORK}/unpacked)
set(root ${WORK}/unpacked)
foreach(expected bin/kivlogging.dll lib/libkivlogging.dll.a include/logging/MsgLog.h
    include/logging/MsgLogFormat.h lib/cmake/KivLogging/KivLoggingConfig.cmake
    bin/kivlog-doctor.exe LICENSE)
  if(NOT EXISTS ${root}/${expected})
    message(FATAL_ERROR "the zip lacks ${expected}")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} ${root}/bin/kivlog-doctor.exe --help
  OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
if(NOT help MATCHES "usage: kivlog-doctor")
  message(FATAL_ERROR "kivlog-doctor.exe from the zip printed:\n${help}")
endif()
# The example finds the DLL of the zip beside it; without a configuration
# beside it there is no system logger, and its console log still writes.
file(COPY ${EXAMPLE} DESTINATION ${root}/bin)
get_filename_component(example_name ${EXAMPLE} NAME)
execute_process(COMMAND ${EMULATOR} ${root}/bin/${example_name}
  OUTPUT_VARIABLE output COMMAND_ERROR_IS_FATAL ANY)
if(NOT output MATCHES "\\(U\\) INFO [^\n]* ExampleApp::ShowEveryFrontEnd:")
  message(FATAL_ERROR "the example run from the zip printed:\n${output}")
endif()
message(STATUS "${zips} unpacks into a working library, tools and headers")
