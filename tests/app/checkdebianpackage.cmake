# Builds the Debian package from the build folder into a folder of its own and checks its
# name, fields and contents. Run with -DBUILD_DIR=... -DVERSION=... -P.
set(out ${BUILD_DIR}/tests/debian-package)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND cpack -G DEB -B ${out} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
set(deb ${out}/notavo_${VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
    file(GLOB made ${out}/*.deb)
    message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

execute_process(COMMAND dpkg-deb -f ${deb} Package Version Architecture Maintainer Depends Description
                OUTPUT_VARIABLE fields RESULT_VARIABLE result)
foreach(expected "Package: notavo" "Version: ${VERSION}" "Architecture: amd64" "Maintainer: " "libqt6widgets6"
                 "libqt6sql6-sqlite" "libc6" "Description: collect text while you read")
    string(FIND "${fields}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package's fields lack \"${expected}\":\n${fields}")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE contents RESULT_VARIABLE result)
foreach(expected ./usr/bin/notavo ./usr/share/notavo/readme.txt
                 ./usr/share/applications/io.github.notavo.Notavo.desktop
                 ./usr/share/metainfo/io.github.notavo.Notavo.metainfo.xml
                 ./usr/share/icons/hicolor/scalable/apps/io.github.notavo.Notavo.svg
                 ./usr/share/icons/hicolor/64x64/apps/io.github.notavo.Notavo.png
                 ./usr/share/man/man1/notavo.1)
    string(FIND "${contents}" "${expected}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${expected}:\n${contents}")
    endif()
endforeach()
string(FIND "${contents}" "./usr/bin/readme.txt" at)
if(NOT at EQUAL -1)
    message(FATAL_ERROR "nothing but the program belongs in /usr/bin:\n${contents}")
endif()
