# What `cmake --install` puts where a Linux desktop looks for it, and the Debian package
# built from the same install (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

set(NOTAVO_APP_ID io.github.notavo.Notavo)
set(notavo_desktop_sources ${PROJECT_SOURCE_DIR}/resources/desktop)

if(UNIX AND NOT APPLE)
    # Linux commands are lower case: the program is the command `notavo`.
    install(PROGRAMS $<TARGET_FILE:Notavo> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME notavo)
    # install(PROGRAMS) is not stripped by `cmake --install --strip` or CPack: strip it as
    # Debian's dh_strip does (the debug information is most of its size).
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/notavo\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()")

    install(FILES ${notavo_desktop_sources}/${NOTAVO_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${notavo_desktop_sources}/${NOTAVO_APP_ID}.metainfo.xml
                   ${CMAKE_CURRENT_BINARY_DIR}/${NOTAVO_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${NOTAVO_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The man page (written for the prefix being installed to) and the changelog, compressed.
    install(CODE "
        set(NOTAVO_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
        set(NOTAVO_STAGING_DIR \"${CMAKE_CURRENT_BINARY_DIR}/install-docs\")
        set(PROJECT_VERSION \"${PROJECT_VERSION}\")
        set(NOTAVO_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
        set(NOTAVO_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
        set(NOTAVO_DOCDIR \"${CMAKE_INSTALL_DATADIR}/doc/notavo\")
        include(\"${PROJECT_SOURCE_DIR}/cmake/NotavoInstallDocs.cmake\")")
    install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/notavo)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME notavo)

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
# The package's own revision (the changelog's first line names it): notavo_2.0.1-1_amd64.deb.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SQLite driver is a plugin (not seen by dpkg-shlibdeps); without a CJK font every text is a
# row of empty boxes; without Qt's own translations the standard buttons and the file dialogs
# speak English, whatever the program's own texts say.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-translations-l10n, fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/notavo/notavo")
include(CPack)
