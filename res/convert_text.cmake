# Text files beside the program, run as a script at build time:
#   cmake -DINPUT=... -DOUTPUT=... [-DCHARSET=CP932] [-DCRLF=ON] [-DHTML=ON] -P convert_text.cmake
# Sources are kept in UTF-8 with LF; Windows readers want CRLF, and HTML Help
# wants Japanese pages in CP932 that say so in their charset meta tag.
file(READ "${INPUT}" text)
if(HTML)
  string(REPLACE "charset=UTF-8" "charset=Shift_JIS" text "${text}")
endif()
if(CRLF)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
endif()
if(NOT CHARSET)
  file(WRITE "${OUTPUT}" "${text}")
  return()
endif()
file(WRITE "${OUTPUT}.utf8" "${text}")
execute_process(COMMAND iconv -f UTF-8 -t ${CHARSET} "${OUTPUT}.utf8"
                OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
file(REMOVE "${OUTPUT}.utf8")
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "iconv could not convert ${INPUT} to ${CHARSET}")
endif()
