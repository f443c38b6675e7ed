# Renders a manual page as HTML, for the zips of platforms without `man`:
#   cmake -DMANDOC=/usr/bin/mandoc -DINPUT=man/pigreco.1 -DOUTPUT=manual.html -P render_manual.cmake
# mandoc writes neither the time nor its own version into the page, so the
# same source gives the same bytes. A page mandoc warns about fails the build:
# it would reach Windows and browser users as the warning left it.
execute_process(COMMAND "${MANDOC}" -Thtml -Wwarning "${INPUT}"
  OUTPUT_FILE "${OUTPUT}" ERROR_VARIABLE warnings RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "mandoc cannot render ${INPUT} cleanly (status ${status}):\n${warnings}")
endif()
