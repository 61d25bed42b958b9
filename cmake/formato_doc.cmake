# Writes a file made from the format table, the reference page by default:
#   cmake -DPROGRAMMA=path/to/scenario -DPAGINA=docs/formato.md -P formato_doc.cmake
#   cmake -DPROGRAMMA=... -DOPZIONE=--textmate -DPAGINA=editors/vscode/syntaxes/... -P ...
if(NOT DEFINED OPZIONE)
  set(OPZIONE --markdown)
endif()
execute_process(COMMAND ${PROGRAMMA} explain ${OPZIONE} OUTPUT_FILE ${PAGINA}
                RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "scenario explain ${OPZIONE} failed: ${esito}")
endif()
