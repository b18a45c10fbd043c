# Fails on anything either validator says about the menu entry or the metainfo, warnings and
# hints included: desktop-file-validate exits 0 on those, yet menus may still ignore the entry.
# Run with -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -DDESKTOP=... -DMETAINFO=... -P
foreach(tool DESKTOP_FILE_VALIDATE APPSTREAMCLI)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} was not found; run tools/setup and configure again.")
  endif()
endforeach()

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${DESKTOP}" RESULT_VARIABLE status OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate (${status}):\n${output}")
endif()

execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --pedantic "${METAINFO}" RESULT_VARIABLE status
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR output MATCHES "\n[EWIP]:|^[EWIP]:")
  message(FATAL_ERROR "appstreamcli validate (${status}):\n${output}")
endif()
