# Install rules and the Debian package (cpack -G DEB). Paths follow the GNU
# layout: programs in bin, man pages in share/man/man1, the desktop entry,
# icon and AppStream metainfo where desktops and software centres look.
include(GNUInstallDirs)

set(JX_APP_ID org.jxmonitor.JXMonitor)
# Debian keeps a package's documents under its package name.
set(JX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/jx-monitor)

# Compressed as Debian wants them: gzip -9 without a name or time stamp, so the
# package's bytes do not depend on when it was built.
function(jx_gzip source gz)
  add_custom_command(OUTPUT ${gz} COMMAND gzip -9nc ${source} > ${gz} DEPENDS ${source} VERBATIM)
endfunction()

set(JX_GZIPPED)
foreach(program jx_monitor jx_monitord zelk_sim zelk_dump jx_longrun)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The page carries the version from the one definition (project()).
    configure_file(${CMAKE_SOURCE_DIR}/man/${program}.1 ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
    jx_gzip(${CMAKE_BINARY_DIR}/man/${program}.1 ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    list(APPEND JX_GZIPPED ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
jx_gzip(${CMAKE_SOURCE_DIR}/data/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
list(APPEND JX_GZIPPED ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_target(jx_gzipped_docs ALL DEPENDS ${JX_GZIPPED})

if(TARGET jx_monitor)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${JX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${JX_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # PNG sizes beside the SVG: desktops without SVG support show them.
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
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

# README links into docs/: the installed copy keeps that layout so its images
# and documents are found. The licence is in the copyright file.
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/data/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${JX_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${JX_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(FILES ${CMAKE_SOURCE_DIR}/data/60-gps-receiver.rules.example DESTINATION ${JX_DOC_DIR}/examples)
# The lintian findings kept on purpose, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME jx-monitor)

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
