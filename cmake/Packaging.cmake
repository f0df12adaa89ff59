# Desktop integration and the Debian package; included at the end of the top CMakeLists.txt.
#
# The top file already installs the program and its Content/ into share/zorvane and the
# launcher (tools/launcher.sh) as bin/zorvane. This adds what a desktop needs to offer the game
# in its applications menu, the licences of the two fonts copied into Content/, and CPack's
# .deb:  cpack --config <build>/CPackConfig.cmake  (from the build folder)  ->  zorvane_<version>_<arch>.deb

set(ZORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
# Keep in step with packaging/render_icons.sh, which renders these from packaging/zorvane.svg.
set(ZORVANE_ICON_SIZES 16 32 48 64 128 256)

install(FILES ${ZORVANE_PACKAGING_DIR}/zorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZORVANE_PACKAGING_DIR}/zorvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS ZORVANE_ICON_SIZES)
    set(icon ${ZORVANE_PACKAGING_DIR}/icons/${size}/zorvane.png)
    if(NOT EXISTS ${icon})
        message(FATAL_ERROR "${icon} is missing: run packaging/render_icons.sh (needs librsvg2-bin)")
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The fonts travel as copies in Content/ (the game reads only from there), so the package needs
# no font package at run time; their copyright and licence terms travel with them.
foreach(font IN ITEMS ZORVANE_MONO_FONT ZORVANE_DIGITAL_FONT)
    execute_process(COMMAND dpkg-query -S ${${font}} OUTPUT_VARIABLE owner
                    RESULT_VARIABLE owner_rc ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(owner_rc EQUAL 0)
        string(REGEX REPLACE "[:,].*" "" owner "${owner}")
        if(EXISTS /usr/share/doc/${owner}/copyright)
            install(FILES /usr/share/doc/${owner}/copyright
                    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zorvane RENAME ${owner}.copyright)
        endif()
    endif()
endforeach()

# --- CPack: one .deb for Debian 12 ---------------------------------------------------------

set(ZORVANE_PACKAGE_MAINTAINER "Zorvane developers <zorvane@example.org>"
    CACHE STRING "Maintainer line of the .deb")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zorvane developers")
set(CPACK_PACKAGE_CONTACT "${ZORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clock-and-banknote arcade game")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvane - Quendral is a small arcade game about paying with time.
Banknotes printed with a time of day fall from the top of the window; you
steer an analogue clock along the bottom, set its time with the mouse wheel
and fire small clocks at the bills that show the same time. Every bill that
falls out of the window costs a life.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME zorvane)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# From `ldd zorvane` and `dpkg -S` on each library the program links directly (readelf NEEDED);
# the versions are what dpkg-shlibdeps computes for a Debian 12 build. Everything further down
# (OpenGL, X11, FreeType, OpenAL, Vorbis, FLAC, ...) is pulled in by the SFML packages.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsfml-graphics2.5, libsfml-window2.5, libsfml-system2.5, libsfml-audio2.5, libstdc++6 (>= 11), libgcc-s1 (>= 3.0), libc6 (>= 2.34)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

# --- The package test: build the .deb, install it, start the game from the menu's command -----

if(ZORVANE_BUILD_TESTS)
    add_test(NAME package.deb
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/test_deb.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(package.deb PROPERTIES
        LABELS package RUN_SERIAL TRUE SKIP_RETURN_CODE 77 TIMEOUT 1500
        ENVIRONMENT "ZORVANE_CPACK=${CMAKE_CPACK_COMMAND}")
endif()
