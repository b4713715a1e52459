# The Debian package, built by CPack (cpack -G DEB in the build folder):
# tarvolin_1.2-1_amd64.deb. Its Depends come from the shared libraries the
# programs use (dpkg-shlibdeps) plus libcap2-bin, whose setcap the postinst
# runs to give tarvolin-trigger, and nothing else, its capability.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvolin)
set(CPACK_PACKAGE_VENDOR "The Tarvolin developers")
set(CPACK_PACKAGE_CONTACT "The Tarvolin developers <developers@tarvolin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wi-Fi scanner that lists every network heard")
set(CPACK_PACKAGE_DESCRIPTION
  "Tarvolin lists every wireless access point and ad hoc peer heard since it
started, with name, signal, channel, type, security, MAC address, best and
worst signal and the times first and last seen, and shows one network
enlarged to follow its signal while walking. It speaks seven languages.
.
It runs without root: scans are started by a small helper,
tarvolin-trigger, the only file given the cap_net_admin capability.
The package also holds tarvolin-scan, the scanner on the command line,
and tarvolin-demo, the program on a simulated radio.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tarvolin.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's live zoom uses Qt's private scaling interface, which holds
# only for the Qt it was built with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin, qt6-base-abi (= ${Qt6_VERSION})")
# tarvolin-scan --gps reads positions from gpsd (libgps comes in through
# the shared libraries); the daemon itself serves the receiver.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gpsd)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
