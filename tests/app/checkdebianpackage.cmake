# Builds the Debian package from the build folder into a folder of its own and checks its
# name, fields and contents. Run with -DBUILD_DIR=... -DPACKAGE_VERSION=... -P
# (the Debian version, 2.0.1-1).
set(out ${BUILD_DIR}/tests/debian-package)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND cpack -G DEB -B ${out} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
set(deb ${out}/notavo_${PACKAGE_VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
    file(GLOB made ${out}/*.deb)
    message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

# expect_in(text what expected...): each expected string occurs in text.
function(expect_in text what)
    foreach(expected ${ARGN})
        string(FIND "${text}" "${expected}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${what} lacks \"${expected}\":\n${text}")
        endif()
    endforeach()
endfunction()
# output_of(variable command...): the command's standard output; fails the test when it fails.
function(output_of variable)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed: ${errors}")
    endif()
    set(${variable} "${output}" PARENT_SCOPE)
endfunction()

# A CJK font and Qt's translations are hard dependencies: without them texts are empty boxes, or English.
output_of(fields dpkg-deb -f ${deb} Package Version Architecture Maintainer Depends Description)
expect_in("${fields}" "the package's fields"
          "Package: notavo\n" "Version: ${PACKAGE_VERSION}\n" "Architecture: amd64" "Maintainer: "
          "libqt6widgets6" "libqt6sql6-sqlite" "libc6" "qt6-translations-l10n"
          "fonts-noto-cjk | fonts-wqy-microhei"
          "Description: collect text while you read")

output_of(contents dpkg-deb -c ${deb})
foreach(expected ./usr/bin/notavo ./usr/share/notavo/readme.txt
                 ./usr/share/applications/io.github.notavo.Notavo.desktop
                 ./usr/share/metainfo/io.github.notavo.Notavo.metainfo.xml
                 ./usr/share/icons/hicolor/scalable/apps/io.github.notavo.Notavo.svg
                 ./usr/share/icons/hicolor/64x64/apps/io.github.notavo.Notavo.png
                 ./usr/share/man/man1/notavo.1.gz
                 ./usr/share/doc/notavo/copyright ./usr/share/doc/notavo/changelog.Debian.gz)
    expect_in("${contents}" "the package" "${expected}\n")
endforeach()
string(FIND "${contents}" "./usr/bin/readme.txt" at)
if(NOT at EQUAL -1)
    message(FATAL_ERROR "nothing but the program belongs in /usr/bin:\n${contents}")
endif()

# What Debian's policy asks of the files themselves.
set(root ${out}/root)
output_of(ignored dpkg-deb -x ${deb} ${root})
output_of(kind file -b ${root}/usr/bin/notavo)
expect_in("${kind}" "the program's file type" ", stripped")
output_of(dynamic readelf -d -l -W ${root}/usr/bin/notavo)
expect_in("${dynamic}" "the program's headers (hardening)" "GNU_RELRO" "BIND_NOW")
output_of(manual gzip -dc ${root}/usr/share/man/man1/notavo.1.gz)
expect_in("${manual}" "the man page" "/usr/share/notavo/readme.txt" "filesearch.db")
output_of(changelog gzip -dc ${root}/usr/share/doc/notavo/changelog.Debian.gz)
string(FIND "${changelog}" "notavo (${PACKAGE_VERSION}) " at)
if(NOT at EQUAL 0)
    message(FATAL_ERROR "the changelog's first entry is not this version ${PACKAGE_VERSION}:\n${changelog}")
endif()
file(READ ${root}/usr/share/doc/notavo/copyright copyright)
expect_in("${copyright}" "the copyright file" "License: GPL-3.0-or-later" "/usr/share/common-licenses/GPL-3")
