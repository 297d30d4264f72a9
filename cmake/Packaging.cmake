# The Debian package of the Linux desktop program. In a build directory configured with the GUI:
#   cpack -G DEB        ->  tolvaris-time-sync_<version>_<arch>.deb
# scripts/package-deb.sh builds, checks and lints it.
if(WIN32 OR NOT TOLVARIS_BUILD_GUI)
  return()
endif()
include(GNUInstallDirs)

set(TOLVARIS_PACKAGE_NAME tolvaris-time-sync)
set(TOLVARIS_PACKAGE_MAINTAINER "Tolvaris developers <tolvaris@example.org>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")

# What Debian wants in every package's doc directory: the copyright and, for a package without a
# Debian revision (a native one), its changelog as changelog.gz, compressed without a timestamp
# so that the package builds the same twice.
set(package_doc_dir ${CMAKE_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${package_doc_dir})
file(WRITE ${package_doc_dir}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${TOLVARIS_PACKAGE_NAME}
Upstream-Contact: ${TOLVARIS_PACKAGE_MAINTAINER}

Files: *
Copyright: 2025 the Tolvaris developers
License: proprietary
 All rights reserved by the Tolvaris developers.
")
file(WRITE ${package_doc_dir}/changelog
"${TOLVARIS_PACKAGE_NAME} (${PROJECT_VERSION}) unstable; urgency=medium

  * Linux desktop build: Qt 6 window, HTTP through libcurl, the clock set
    directly with CAP_SYS_TIME or else through systemd's time service
    (org.freedesktop.timedate1) with polkit authorisation.

 -- ${TOLVARIS_PACKAGE_MAINTAINER}  Mon, 01 Dec 2025 00:00:00 +0000
")
# Every program in /usr/bin has a manual page, even one without a command line.
file(WRITE ${package_doc_dir}/${TOLVARIS_PACKAGE_NAME}.1
".TH ${TOLVARIS_PACKAGE_NAME} 1 \"December 2025\" \"${TOLVARIS_PACKAGE_NAME} ${PROJECT_VERSION}\"
.SH NAME
${TOLVARIS_PACKAGE_NAME} \\- compare the computer's clock with Beijing time and set it
.SH SYNOPSIS
.B ${TOLVARIS_PACKAGE_NAME}
.SH DESCRIPTION
Opens one window that shows the local time, Beijing time (UTC+8) read from the
.B Date
header of a web server's answer to an HTTP HEAD request, and the difference
between the two. The button sets the local clock to Beijing time and reports
whether that worked.
.PP
A process with CAP_SYS_TIME sets the clock itself. Any other asks systemd's
time service (org.freedesktop.timedate1) on the system bus, which lets polkit
decide and may ask for an administrator's password; the service refuses while
automatic time synchronisation (NTP) is on.
.PP
The program takes no options, reads no configuration and keeps no state.
")

foreach(text IN ITEMS changelog ${TOLVARIS_PACKAGE_NAME}.1)
  execute_process(
    COMMAND gzip -9 -n -c ${package_doc_dir}/${text}
    OUTPUT_FILE ${package_doc_dir}/${text}.gz
    RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${package_doc_dir}/${text} (${gzip_result})")
  endif()
endforeach()
install(FILES ${package_doc_dir}/copyright ${package_doc_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${TOLVARIS_PACKAGE_NAME}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${package_doc_dir}/${TOLVARIS_PACKAGE_NAME}.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TOLVARIS_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compares the clock with Beijing time and sets it")
set(CPACK_PACKAGE_DESCRIPTION
"Tolvaris时间同步器 is a small desktop window that shows the computer's local
time, Beijing time (UTC+8) taken from the Date header of a web server's
answer to an HTTP HEAD request, and how far the two lie apart. Its button
sets the local clock to that time.
.
Run as root, or with CAP_SYS_TIME, it sets the clock itself. Otherwise it
asks systemd's time service (org.freedesktop.timedate1), which has polkit ask
for an administrator's password. The interface is in Chinese.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVARIS_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: computed by dpkg-shlibdeps from the libraries the binary links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are Chinese: without a CJK font they show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
