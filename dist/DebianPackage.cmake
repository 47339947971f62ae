# CPack's settings for nimbra_<version>_amd64.deb, built by scripts/build-package.sh from the
# files the install rules name. Dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nimbra)
set(CPACK_PACKAGE_VENDOR Velmoor)
set(CPACK_PACKAGE_CONTACT "Velmoor <nimbra@velmoor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Oracle session monitor for database administrators")
set(CPACK_PACKAGE_DESCRIPTION [[
Nimbra logs on to one Oracle instance and lists every session it reports:
user, SID, serial number, status, operating-system user, machine and
program, refreshed on a timer. A session can be killed after a confirmation
and its details and running SQL statement looked at; the list prints as a
paginated report.

A built-in simulated instance (nimbra --demo) shows Nimbra at work without
a database. For real databases Nimbra loads Oracle Instant Client at run
time; it is not a dependency of this package. The command-line companion
nimbra-sessions prints the session list for scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://nimbra.velmoor.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Oracle Instant Client, which Nimbra loads for real databases, needs libaio (libaio1t64 from
# Debian 13 on); on a Wayland desktop Qt's Wayland plugin lets the window name its entry there
# instead of going through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libaio1 | libaio1t64, qt6-wayland")
include(CPack)
