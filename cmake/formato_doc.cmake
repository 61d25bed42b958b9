# Writes the reference page of the source format from the format table:
#   cmake -DPROGRAMMA=path/to/scenario -DPAGINA=docs/formato.md -P formato_doc.cmake
execute_process(COMMAND ${PROGRAMMA} explain --markdown OUTPUT_FILE ${PAGINA}
                RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "scenario explain --markdown failed: ${esito}")
endif()
