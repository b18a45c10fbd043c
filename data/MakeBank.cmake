# Loads an SQL script into a fresh SQLite database and only then puts it in place of
# OUTPUT, so a failed load never leaves a half-filled bank where the program looks.
# Run with -DSQLITE3=<sqlite3 program> -DSQL=<script> -DOUTPUT=<database> -P MakeBank.cmake
foreach(var SQLITE3 SQL OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeBank.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT SQLITE3)
  message(FATAL_ERROR "The sqlite3 command-line program was not found; run tools/setup and configure again.")
endif()

set(temp "${OUTPUT}.tmp")
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(REMOVE "${temp}" "${temp}-journal")

execute_process(COMMAND "${SQLITE3}" -bail "${temp}"
                INPUT_FILE "${SQL}"
                RESULT_VARIABLE status
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
# The shell keeps going past some errors in piped input, so any complaint counts as failure.
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
  file(REMOVE "${temp}" "${temp}-journal")
  message(FATAL_ERROR "Loading ${SQL} failed (${status}):\n${errors}${output}")
endif()

file(RENAME "${temp}" "${OUTPUT}")
