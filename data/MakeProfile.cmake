# Writes a Windows profile file from its UTF-8 source: CR LF line ends, GBK bytes, put in
# place of OUTPUT only when complete.
# Run with -DICONV=<iconv program> -DSOURCE=<utf-8 text> -DOUTPUT=<profile> -P MakeProfile.cmake
foreach(var ICONV SOURCE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeProfile.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT ICONV)
  message(FATAL_ERROR "The iconv program was not found.")
endif()

file(READ "${SOURCE}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")

set(temp "${OUTPUT}.tmp")
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(WRITE "${temp}.utf8" "${text}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${temp}.utf8"
                OUTPUT_FILE "${temp}"
                RESULT_VARIABLE status
                ERROR_VARIABLE errors)
file(REMOVE "${temp}.utf8")
if(NOT status EQUAL 0)
  file(REMOVE "${temp}")
  message(FATAL_ERROR "Converting ${SOURCE} to GBK failed (${status}):\n${errors}")
endif()

file(RENAME "${temp}" "${OUTPUT}")
