# How every format's plug-in module is linked and installed.

# A module hides all but its entry points: on Linux those its folder's
# exports_linux.map names; on Windows the Win32 libraries the editor draws with.
function(tessvane_plugin_module target)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    target_link_libraries(${target} PRIVATE gdi32 user32 advapi32)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(map ${CMAKE_CURRENT_SOURCE_DIR}/exports_linux.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${map} ${TESSVANE_MODULE_NO_UNDEFINED})
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${map})
  endif()
endfunction()

# tessvane_install_for_hosts(FOLDER vst3 [INTO sub/folder] MODULES targets... [FILES files...])
# Installs where hosts look: ~/.<FOLDER> when installing into the home
# folder, lib/<FOLDER> under a system prefix (only known at install time),
# then INTO; the modules stripped when the install strips.
function(tessvane_install_for_hosts)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "FOLDER;INTO" "MODULES;FILES")
  set(into "")
  if(arg_INTO)
    set(into "/${arg_INTO}")
  endif()
  set(code "
    if(\"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"\$ENV{HOME}\")
      set(dir \"\${CMAKE_INSTALL_PREFIX}/.${arg_FOLDER}${into}\")
    else()
      set(dir \"\${CMAKE_INSTALL_PREFIX}/lib/${arg_FOLDER}${into}\")
    endif()
  ")
  foreach(module IN LISTS arg_MODULES)
    string(APPEND code "
    file(INSTALL DESTINATION \"\${dir}\" TYPE MODULE FILES \"$<TARGET_FILE:${module}>\")
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${dir}/$<TARGET_FILE_NAME:${module}>\")
    endif()
    ")
  endforeach()
  foreach(file IN LISTS arg_FILES)
    string(APPEND code "
    file(INSTALL DESTINATION \"\${dir}\" TYPE FILE FILES \"${file}\")")
  endforeach()
  install(CODE "${code}")
endfunction()
