# Fails unless the library's dynamic symbol table defines no other names than
# the three entry points (a subset of them while the library grows).
# Usage: cmake -DLIBRARY=<path to libvelmora.so> -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed Velmora VelmoraFileW VelmoraFile)
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm could not read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(found "")
foreach(line IN LISTS lines)
  # "<address> <type> <name>", the address blank for absolute symbols.
  if(line MATCHES "^[0-9a-fA-F ]* ([A-Za-z]) ([^ ]+)$")
    set(name ${CMAKE_MATCH_2})
    if(NOT name IN_LIST allowed)
      message(SEND_ERROR "unexpected exported symbol: ${line}")
    endif()
    list(APPEND found ${name})
  endif()
endforeach()
if(NOT "Velmora" IN_LIST found)
  message(FATAL_ERROR "Velmora is not exported")
endif()
message(STATUS "exported: ${found}")
