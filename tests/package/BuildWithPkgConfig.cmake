# Compiles and runs the consumer with the flags that kivlogging.pc gives.
# Run with -DPREFIX=<install prefix> -DSOURCE=<Consumer.cpp> -DOUTPUT=<program>.
file(GLOB_RECURSE pc_files "${PREFIX}/*/kivlogging.pc")
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
execute_process(COMMAND pkg-config --cflags --libs kivlogging
  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
string(REGEX MATCH "-L([^ ;]+)" libdir_flag "${flags}")
execute_process(COMMAND c++ -std=c++20 ${SOURCE} -o ${OUTPUT} ${flags}
  "-Wl,-rpath,${CMAKE_MATCH_1}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${OUTPUT} OUTPUT_VARIABLE output COMMAND_ERROR_IS_FATAL ANY)
if(NOT output MATCHES "installed package works")
  message(FATAL_ERROR "consumer printed: ${output}")
endif()
