cmake_minimum_required(VERSION 3.25)
# The DLL is of the build's architecture (FORMAT, as objdump names it),
# exports exactly its entry point (EXPORTS: by default the VST 2.x entry
# under both names) at one address, and imports only DLLs that Windows
# itself ships: a MinGW runtime DLL would make LoadLibrary fail on a user's
# machine.
if(NOT DEFINED EXPORTS)
  set(EXPORTS "VSTPluginMain;main")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${PLUGIN} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${PLUGIN}")
endif()
string(REGEX MATCH "file format ([^\n]+)" format_line "${dump}")
if(NOT CMAKE_MATCH_1 STREQUAL FORMAT)
  message(FATAL_ERROR "${PLUGIN} is ${CMAKE_MATCH_1}, not ${FORMAT}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(\t[^\n]*\n)*" name_table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" names "${name_table}")
list(TRANSFORM names REPLACE "^\\[ *[0-9]+\\] " "")
list(SORT names)
if(NOT names STREQUAL "${EXPORTS}")
  message(FATAL_ERROR "exported names: ${names}")
endif()

string(REGEX MATCHALL "[0-9a-f]+ Export RVA" addresses "${dump}")
list(REMOVE_DUPLICATES addresses)
list(LENGTH addresses address_count)
if(NOT address_count EQUAL 1)
  message(FATAL_ERROR "the exports lie at ${address_count} addresses: ${addresses}")
endif()

set(system_dlls ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
foreach(dll IN LISTS imports)
  string(TOUPPER "${dll}" upper)
  if(NOT upper IN_LIST system_dlls)
    message(FATAL_ERROR "imports ${dll}, which Windows does not ship")
  endif()
endforeach()
message(STATUS "exports: ${names}; imports: ${imports}")
