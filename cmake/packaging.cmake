# Install rules and the Debian package (cpack -G DEB). Paths follow the GNU
# layout: programs in bin, man pages in share/man/man1, the desktop entry,
# icon and AppStream metainfo where desktops and software centres look.
include(GNUInstallDirs)

set(JX_APP_ID org.jxmonitor.JXMonitor)
# Debian keeps a package's documents under its package name.
set(JX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/jx-monitor)

foreach(program jx_monitor jx_monitord zelk_sim zelk_dump jx_longrun)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

if(TARGET jx_monitor)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${JX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${JX_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${JX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

if(TARGET jx_monitord)
  # The service, off until enabled, and its configuration (a conffile: dpkg keeps local changes).
  install(FILES ${CMAKE_SOURCE_DIR}/data/jx-monitord.service DESTINATION lib/systemd/system)
  install(FILES ${CMAKE_SOURCE_DIR}/data/jx-monitord.conf DESTINATION /etc)
  file(WRITE ${CMAKE_BINARY_DIR}/deb/conffiles "/etc/jx-monitord.conf\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/deb/conffiles)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/prometheus/jx-alerts.yml DESTINATION ${JX_DOC_DIR}/examples)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/docs/serial_ports.md ${CMAKE_SOURCE_DIR}/docs/simulator_and_dump.md
              ${CMAKE_SOURCE_DIR}/docs/fleet.md
        DESTINATION ${JX_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/60-gps-receiver.rules.example DESTINATION ${JX_DOC_DIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME jx-monitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "JX_Monitor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor and command station for ZELK GPS receivers")
set(CPACK_PACKAGE_DESCRIPTION
    "JX_Monitor shows time, position, velocity, health, DOPs and tracked satellites\n"
    "of GPS receivers that speak the ZELK binary packet protocol over serial lines,\n"
    "configures them, moves almanac, ephemeris, position and time to and from them,\n"
    "and logs and records their traffic. Up to 16 receivers (COM1 to COM16).\n"
    "The package also holds zelk_sim (simulated receivers on pseudo-terminals),\n"
    "zelk_dump (decodes recordings and live ports), jx_longrun (a long-run check)\n"
    "and jx_monitord, which monitors the receivers of a station without a window\n"
    "and serves them to Prometheus, as the service jx-monitord.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY jx-monitor)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "JX_Monitor developers <jx-monitor@maintainers.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Library dependencies as dpkg-shlibdeps finds them in the programs (Qt 6, libstdc++, libc).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xvfb")
include(CPack)
