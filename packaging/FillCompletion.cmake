# cmake -DLISTER=<kavro-list-mnemonics> -DTEMPLATE=<in> -DOUTPUT=<out> -P FillCompletion.cmake
execute_process(COMMAND ${LISTER} OUTPUT_VARIABLE names RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR names STREQUAL "")
  message(FATAL_ERROR "${LISTER} listed no command names")
endif()
string(STRIP "${names}" names)
string(REPLACE "\n" " " KAVRO_MNEMONICS "${names}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
