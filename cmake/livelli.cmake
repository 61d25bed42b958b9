# The layering rule of src/: a folder includes only folders below it.
#
#   platform < text < model < compiler < output < app, toolkit
#
# app (the generator's run sequence) and toolkit sit side by side at the top
# and include neither each other. prove/ holds test support shared by several
# folders: only tests (*_test.cpp, *_test.h) include it, and it includes only
# platform/. Run as `cmake -DRADICE=<folder holding src/> -P livelli.cmake`;
# every include that breaks the rule is listed as FILE:LINE, and the run fails.

set(LIVELLI platform text model compiler output app toolkit)
set(LIVELLO_platform 0)
set(LIVELLO_text 1)
set(LIVELLO_model 2)
set(LIVELLO_compiler 3)
set(LIVELLO_output 4)
set(LIVELLO_app 5)
set(LIVELLO_toolkit 5)

if(NOT RADICE)
  message(FATAL_ERROR "give the folder that holds src/ as -DRADICE=...")
endif()

file(GLOB_RECURSE file_sorgente RELATIVE "${RADICE}/src" "${RADICE}/src/*.h" "${RADICE}/src/*.cpp")
set(violazioni "")
foreach(relativo IN LISTS file_sorgente)
  string(REGEX MATCH "^[^/]+" cartella "${relativo}")
  string(REGEX MATCH "_test\\.(h|cpp)$" di_prova "${relativo}")
  file(STRINGS "${RADICE}/src/${relativo}" righe)
  set(numero 0)
  foreach(riga IN LISTS righe)
    math(EXPR numero "${numero} + 1")
    if(NOT riga MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/[^\"]+\"")
      continue()
    endif()
    set(incluso "${CMAKE_MATCH_1}")
    if(incluso STREQUAL cartella)
      continue()
    endif()
    set(perche "")
    if(incluso STREQUAL "prove")
      if(NOT di_prova)
        set(perche "only tests include prove/")
      endif()
    elseif(cartella STREQUAL "prove")
      if(NOT incluso STREQUAL "platform")
        set(perche "prove/ includes only platform/")
      endif()
    elseif(NOT DEFINED LIVELLO_${cartella})
      set(perche "${cartella}/ is not a layer: add it to cmake/livelli.cmake and ARCHITECTURE.md")
    elseif(NOT DEFINED LIVELLO_${incluso})
      set(perche "${incluso}/ is not a layer")
    elseif(NOT LIVELLO_${incluso} LESS LIVELLO_${cartella})
      set(perche "${cartella}/ may include only folders below it")
    endif()
    if(perche)
      string(APPEND violazioni "src/${relativo}:${numero}: includes ${incluso}/: ${perche}\n")
    endif()
  endforeach()
endforeach()

if(violazioni)
  message(FATAL_ERROR "includes against the layers:\n${violazioni}")
endif()
