# Installation (cmake --install) and the Debian package (cpack -G DEB).
# The programs need nothing from an installed data folder at run time: the
# program folder is --home, $KVARTAPC_HOME, a portable folder beside the
# executable or the XDG data folder, created on first use.
include(GNUInstallDirs)

set(KVARTA_PROGRAMS kvartactl kvarta-sim)
if(TARGET kvartapc)
  list(PREPEND KVARTA_PROGRAMS kvartapc)
endif()
install(TARGETS ${KVARTA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET kvartapc)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/kvartapc.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/kvartapc.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Man pages go compressed, as Debian keeps them.
find_program(KVARTA_GZIP gzip)
foreach(page kvartactl.1 kvarta-sim.1)
  set(source ${CMAKE_SOURCE_DIR}/packaging/man/${page})
  if(KVARTA_GZIP)
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(
      OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${KVARTA_GZIP} -9n -c ${source} > ${packed}
      DEPENDS ${source}
      COMMENT "Compressing the man page ${page}")
    list(APPEND KVARTA_MAN_PAGES ${packed})
  else()
    list(APPEND KVARTA_MAN_PAGES ${source})
  endif()
endforeach()
add_custom_target(kvarta_man_pages ALL DEPENDS ${KVARTA_MAN_PAGES})
install(FILES ${KVARTA_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvartapc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kvartapc developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "service program for the kvarta field controller")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "kvartapc developers")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description under the summary; CPack indents it for the control file.
set(CPACK_PACKAGE_DESCRIPTION
    "kvartapc sets up and maintains a kvarta controller, the field device that
polls gas flow computers (VRG) and forwards their data to servers. It talks
to the controller over a serial port (direct cable, GSM modem or line
adapter): reads and writes its tables, keeps configurations in .cnf files,
gives it commands and shows its diagnostics, clocks and session record.

The package holds the desktop program kvartapc (Qt 6 Widgets), the
command-line tool kvartactl and the simulated controller kvarta-sim.")
find_program(KVARTA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KVARTA_DPKG_SHLIBDEPS)
  # The libraries the programs link (Qt 6 Widgets and what it needs).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, libstdc++6, libc6")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
