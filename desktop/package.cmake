# `make package`: a Debian package of the installed layout (desktop/CMakeLists.txt), into the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vakto)
set(CPACK_PACKAGE_VENDOR "Vakto developers")
set(CPACK_PACKAGE_CONTACT "Vakto developers <dev@vakto.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analog clock, timer, alarm, interval announcer and punch clock")
set(CPACK_PACKAGE_DESCRIPTION
    "A small desktop clock that lives in the system tray. One skinned window holds an analog clock,\n\
a countdown timer, an alarm, an announcer that chimes at fixed minutes of every hour, and a punch\n\
clock that counts working minutes into twelve projects kept in a text file in the user's data folder.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vakto.example.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vakto_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
# The menu entry names the binary by its absolute path, computed while installing: the staging
# goes through DESTDIR so that the path is the package's own, /usr/bin/vakto.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# Depends: what the binary links, as dpkg-shlibdeps (dpkg-dev) finds it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# ---- Hand-added relations: only what the program loads at run time, which the computation above
# cannot see. Each with its reason.
set(vakto_depends "")
set(vakto_recommends "")
# libcanberra opens its audio backend as a module at run time: without the PulseAudio one (which
# also reaches PipeWire) no ring is heard.
list(APPEND vakto_depends "libcanberra-pulse")
# Qt opens its platform plugins at run time: the X11 one, without which the program cannot start
# (libqt6gui6 only recommends it), and the Wayland one for a Wayland session.
list(APPEND vakto_depends "qt6-qpa-plugins")
list(APPEND vakto_recommends "qt6-wayland")
# The sound theme's alarm, played when the program's own chime cannot be.
list(APPEND vakto_recommends "sound-theme-freedesktop")
# The text box and the About box draw text in a font that fontconfig finds at run time; the skin
# was painted with this one.
list(APPEND vakto_recommends "fonts-dejavu-core")
# ---- end of the hand-added relations
list(JOIN vakto_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
list(JOIN vakto_recommends ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS)

include(CPack)
