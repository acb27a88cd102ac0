# Fails unless the installed library exports exactly the symbols listed in
# ExportedSymbols.txt: the interface, and nothing of the standard library
# (whose template instances, once exported, bind process-wide, and a unique
# one keeps the library mapped after dlclose). Run with -DLIBRARY=<path>
# -DNM=<nm>.
execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
  OUTPUT_VARIABLE table RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
# "address type name" lines: the names, sorted.
string(REGEX REPLACE "[0-9a-f]+ [A-Za-z] ([^\n]*)" "\\1" names "${table}")
string(REPLACE ";" "\\;" names "${names}")
string(REPLACE "\n" ";" names "${names}")
list(REMOVE_ITEM names "")
list(SORT names)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/ExportedSymbols.txt allowed)
list(SORT allowed)
set(extra ${names})
list(REMOVE_ITEM extra ${allowed})
set(missing ${allowed})
list(REMOVE_ITEM missing ${names})
if(extra OR missing)
  list(JOIN extra "\n  " extra)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "exported but not allowed:\n  ${extra}\nallowed but not exported:\n  ${missing}")
endif()
message(STATUS "exports are exactly the interface")
