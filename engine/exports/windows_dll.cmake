# Tesserine.dll: the fourteen exports by their undecorated names (__stdcall on
# 32-bit Windows), a version resource, and only system DLLs in the import
# table (the toolchain links libgcc and libstdc++ statically).
set(_tesserine_def ${CMAKE_CURRENT_SOURCE_DIR}/exports/tesserine.def)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TESSERINE_DEF ${_tesserine_def})
else()
  # One calling convention on x86-64, no decoration: the same list without
  # the argument-size suffixes.
  file(READ ${_tesserine_def} _def_text)
  string(REGEX REPLACE "@[0-9]+" "" _def_text "${_def_text}")
  set(TESSERINE_DEF ${CMAKE_CURRENT_BINARY_DIR}/tesserine.def)
  file(CONFIGURE OUTPUT ${TESSERINE_DEF} CONTENT "${_def_text}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_tesserine_def})
endif()

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/exports/tesserine_version.h.in
               ${CMAKE_CURRENT_BINARY_DIR}/tesserine_version.h @ONLY)
target_sources(tesserine PRIVATE ${TESSERINE_DEF} exports/tesserine.rc)
target_include_directories(tesserine PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
# The .def lists the stdcall names with their suffixes so that the import
# library binds what callers of tesserine.h reference; --kill-at exports them
# without the suffix. No symbol is exported except through the .def.
target_link_options(tesserine PRIVATE -Wl,--kill-at -Wl,--exclude-all-symbols)
set_target_properties(tesserine PROPERTIES
  OUTPUT_NAME Tesserine PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib")
# The linker's own import library would name the imports without the suffix,
# which callers of tesserine.h do not reference; dlltool -k makes one that
# binds QRSetSize@8 and the like to the undecorated exports.
add_custom_command(TARGET tesserine POST_BUILD
  COMMAND ${CMAKE_DLLTOOL} -k -d ${TESSERINE_DEF} -D $<TARGET_FILE_NAME:tesserine>
          -l $<TARGET_LINKER_FILE_NAME:tesserine>
  WORKING_DIRECTORY $<TARGET_LINKER_FILE_DIR:tesserine>
  VERBATIM)

include(GNUInstallDirs)
install(TARGETS tesserine
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES exports/tesserine.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${TESSERINE_DEF} DESTINATION ${CMAKE_INSTALL_LIBDIR} RENAME Tesserine.def)
