# Installs the game: the program, its Content/, the zorvane command, and what a desktop needs
# to offer it (entry, icons, AppStream metadata, man page). Included at the end of the top
# CMakeLists.txt.
#
# The three folders below are relative to the install prefix. The defaults suit a prefix of
# one's own (DIR/bin/zorvane); debian/rules sets Debian's layout for games, with the command in
# /usr/games, the program in /usr/lib/games/zorvane and Content/ in /usr/share/games/zorvane.
set(ZORVANE_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Folder of the zorvane command")
set(ZORVANE_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBEXECDIR}/zorvane CACHE STRING
    "Folder of the program itself")
set(ZORVANE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zorvane CACHE STRING "Folder of Content/")
foreach(dir ZORVANE_INSTALL_BINDIR ZORVANE_INSTALL_PROGRAMDIR ZORVANE_INSTALL_DATADIR)
    if(IS_ABSOLUTE "${${dir}}")
        message(FATAL_ERROR "${dir} must be relative to the install prefix, not ${${dir}}")
    endif()
endforeach()

# The command is a launcher that goes to the data folder and starts the program from there.
file(RELATIVE_PATH ZORVANE_LAUNCH_TO_DATA /${ZORVANE_INSTALL_BINDIR} /${ZORVANE_INSTALL_DATADIR})
file(RELATIVE_PATH ZORVANE_LAUNCH_TO_PROGRAM /${ZORVANE_INSTALL_BINDIR}
     /${ZORVANE_INSTALL_PROGRAMDIR}/zorvane)
configure_file(tools/launcher.sh.in ${CMAKE_BINARY_DIR}/launcher/zorvane @ONLY)

install(TARGETS zorvane RUNTIME DESTINATION ${ZORVANE_INSTALL_PROGRAMDIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/zorvane DESTINATION ${ZORVANE_INSTALL_BINDIR})
install(DIRECTORY ${ZORVANE_CONTENT_DIR} DESTINATION ${ZORVANE_INSTALL_DATADIR}
        FILES_MATCHING PATTERN "*.png")
# The fonts stay in their Debian packages (fonts-liberation, fonts-dseg): the installed Content/
# names them with links instead of carrying copies.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fontlinks)
foreach(pair "${ZORVANE_MONO_FONT}|LiberationMono-Bold.ttf" "${ZORVANE_DIGITAL_FONT}|digitalfont.ttf")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 font)
    list(GET pair 1 name)
    file(CREATE_LINK ${font} ${CMAKE_BINARY_DIR}/fontlinks/${name} SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/fontlinks/${name} DESTINATION ${ZORVANE_INSTALL_DATADIR}/Content)
endforeach()

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/zorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/org.example.zorvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/zorvane.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging}/zorvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Keep in step with packaging/render_icons.sh, which renders these from packaging/zorvane.svg.
foreach(size 16 32 48 64 128 256)
    install(FILES ${packaging}/icons/${size}/zorvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
