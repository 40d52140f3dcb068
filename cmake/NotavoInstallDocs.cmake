# Run at install time (from NotavoInstall.cmake), when the prefix is known: /usr for the Debian
# package, /usr/local or ~/.local for `cmake --install`. Writes the man page naming the help
# document where this install puts it, and compresses it and the changelog as Debian wants them.
# Expects NOTAVO_SOURCE_DIR, NOTAVO_STAGING_DIR, PROJECT_VERSION and the folders NOTAVO_DATADIR,
# NOTAVO_MANDIR, NOTAVO_DOCDIR (relative to the prefix, as GNUInstallDirs gives them, or absolute).
function(notavo_full_path variable dir)
    if(IS_ABSOLUTE "${dir}")
        set(${variable} "${dir}" PARENT_SCOPE)
    else()
        set(${variable} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()
notavo_full_path(CMAKE_INSTALL_FULL_DATADIR "${NOTAVO_DATADIR}")
notavo_full_path(mandir "${NOTAVO_MANDIR}")
notavo_full_path(docdir "${NOTAVO_DOCDIR}")

file(MAKE_DIRECTORY "${NOTAVO_STAGING_DIR}")
configure_file("${NOTAVO_SOURCE_DIR}/resources/desktop/notavo.1" "${NOTAVO_STAGING_DIR}/notavo.1" @ONLY)
configure_file("${NOTAVO_SOURCE_DIR}/resources/debian/changelog" "${NOTAVO_STAGING_DIR}/changelog.Debian" COPYONLY)
# gzip -9n: best compression, no name or time stamp in the header, so the package is reproducible.
foreach(name notavo.1 changelog.Debian)
    execute_process(COMMAND gzip -9n -c "${NOTAVO_STAGING_DIR}/${name}"
                    OUTPUT_FILE "${NOTAVO_STAGING_DIR}/${name}.gz" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL "${NOTAVO_STAGING_DIR}/notavo.1.gz" DESTINATION "${mandir}/man1" PERMISSIONS ${readable})
file(INSTALL "${NOTAVO_STAGING_DIR}/changelog.Debian.gz" DESTINATION "${docdir}" PERMISSIONS ${readable})
