# Install rules and the Debian package (cpack -G DEB from the build tree).

include(GNUInstallDirs)

install(TARGETS rptool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET formconstructor)
    install(TARGETS formconstructor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/formconstructor.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/formconstructor.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/formconstructor-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
            RENAME formconstructor.xml)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/templates/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME formconstructor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "formconstructor")
set(FC_PACKAGE_MAINTAINER "formconstructor developers <formconstructor@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${FC_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "report form designer and client of an accounting reporting server")
# Debian's control file takes one description; it carries the English and the Russian text.
set(CPACK_PACKAGE_DESCRIPTION [=[
Report authors design report templates (".rpt") on a spreadsheet surface, with
the report language checked as they type; accountants run them on the
accounting system's reporting server and work with the results: filter, total,
sort, drill down, edit and send data back, print, export to Excel and PDF, mail.
The program talks to the server through files in a shared exchange directory.
The package also holds rptool, the same functions on the command line.

Дизайнер шаблонов отчётов и клиент сервера отчётности бухгалтерской системы:
шаблоны отчётов (".rpt") создаются на листе электронной таблицы с проверкой
языка отчётов, отчёты выполняются на сервере, а результаты фильтруются,
суммируются, сортируются, правятся и отправляются обратно, печатаются,
выгружаются в Excel и PDF и рассылаются по почте.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the binaries do not name: Qt's Russian texts, the fonts that stand in for the
# templates' Windows fonts, and the desktop's opener of documents and mail.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, fonts-liberation, fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)

# The staged install, the desktop entry and the template type (the package itself is built,
# installed and removed by scripts/test.sh, as root).
if(FC_TESTS AND TARGET formconstructor AND NOT FC_SANITIZE)
    add_test(NAME package_staged_install
             COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-package.sh ${PROJECT_BINARY_DIR})
endif()
