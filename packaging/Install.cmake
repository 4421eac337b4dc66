# cmake --install: the program's folder is PREFIX/lib/zentrope (the program,
# zentrope-gif, the platform and media libraries, the run-time modules, the
# help file and the samples, as in build/bin), with PREFIX/bin/zentrope and
# PREFIX/bin/zentrope-gif linking to it, so the modules and the help file
# are found beside the real program. The desktop entry and the icon go where
# desktops look for them.
include(GNUInstallDirs)
set(ZENTROPE_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/zentrope)

install(TARGETS zentrope zentrope-gif zentrope-platform zentrope-media
        RUNTIME DESTINATION ${ZENTROPE_PROGRAM_DIR}
        LIBRARY DESTINATION ${ZENTROPE_PROGRAM_DIR})
install(TARGETS pvcx96v3 q3tif32 q3dxf32 q3spec32 LIBRARY DESTINATION ${ZENTROPE_PROGRAM_DIR})
install(FILES ${ZENTROPE_BIN_DIR}/zentrope.hlp DESTINATION ${ZENTROPE_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zentrope.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Done at install time, when the prefix (--prefix) and DESTDIR are known;
# the @-names are this build's, filled in now.
set(install_code [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  execute_process(COMMAND "$<TARGET_FILE:make-samples>" "${root}/@ZENTROPE_PROGRAM_DIR@/samples"
                  RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "make-samples failed")
  endif()
  file(MAKE_DIRECTORY "${root}/@CMAKE_INSTALL_BINDIR@")
  foreach(program zentrope zentrope-gif)
    file(CREATE_LINK "../@ZENTROPE_PROGRAM_DIR@/${program}" "${root}/@CMAKE_INSTALL_BINDIR@/${program}"
         SYMBOLIC)
  endforeach()
  file(READ "@CMAKE_SOURCE_DIR@/packaging/zentrope.desktop.in" entry)
  string(REPLACE "%BINDIR%" "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_BINDIR@" entry "${entry}")
  file(WRITE "${root}/@CMAKE_INSTALL_DATADIR@/applications/zentrope.desktop" "${entry}")
  message(STATUS "Installing: ${root}/@CMAKE_INSTALL_DATADIR@/applications/zentrope.desktop")
]])
string(CONFIGURE "${install_code}" install_code @ONLY)
install(CODE "${install_code}")
