# What `cmake --install` puts where a Linux desktop looks for it, and the Debian package
# built from the same install (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

set(NOTAVO_APP_ID io.github.notavo.Notavo)
set(notavo_desktop_sources ${PROJECT_SOURCE_DIR}/resources/desktop)

if(UNIX AND NOT APPLE)
    # Linux commands are lower case: the program is the command `notavo`.
    install(PROGRAMS $<TARGET_FILE:Notavo> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME notavo)

    install(FILES ${notavo_desktop_sources}/${NOTAVO_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${notavo_desktop_sources}/${NOTAVO_APP_ID}.metainfo.xml
                   ${CMAKE_CURRENT_BINARY_DIR}/${NOTAVO_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${NOTAVO_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    configure_file(${notavo_desktop_sources}/notavo.1 ${CMAKE_CURRENT_BINARY_DIR}/notavo.1 @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/notavo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/notavo.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${NOTAVO_APP_ID}.svg)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${size}/notavo.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${NOTAVO_APP_ID}.png)
    endforeach()
endif()

set(CPACK_PACKAGE_NAME notavo)
set(CPACK_PACKAGE_VENDOR "Notavo")
set(CPACK_PACKAGE_CONTACT "Notavo developers <notavo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collect text while you read")
set(CPACK_PACKAGE_DESCRIPTION "Notavo keeps a small capture window at the top edge of the screen.
Text dragged onto it from a web browser, or copied in pen mode, is stored
with one click on a category as a text file, with a record of its source
and date. A tray icon opens the history, a built-in editor, a file finder
and the settings. Its user interface is in Simplified Chinese.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY notavo)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own translations give the standard buttons and dialogs their Chinese texts, the SQLite
# driver is a plugin (not seen by dpkg-shlibdeps), and the texts need a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/notavo/notavo")
include(CPack)
