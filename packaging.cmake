# Installing, the Debian package and the release archive that "zentul -u"
# downloads. Included by the top-level CMakeLists.txt.
include(GNUInstallDirs)

install(TARGETS zentul RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/zentul.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md docs/language.md docs/packages.md docs/distribution.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# Debian's Vim reads /usr/share/vim/vimfiles; other editors take the grammar.
install(DIRECTORY editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)
install(FILES editors/textmate/zentul.tmLanguage.json DESTINATION ${CMAKE_INSTALL_DATADIR}/zentul/textmate)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentul)
set(CPACK_PACKAGE_VENDOR "Zentul")
set(CPACK_PACKAGE_CONTACT "Zentul developers <dev@zentul.dev>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interpreter for the Zentul scripting language, with its package manager")
set(CPACK_PACKAGE_DESCRIPTION "Zentul runs scripts written in the small Zentul language and installs\
 Zentul packages (.zep files) from static HTTP repositories.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Downloads (adn install, -u, -d, -i) run curl, or wget when curl fails.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "curl | wget")
include(CPack)

# Zentul-<version>.tar.gz with zentul at its top, as the Linux self-update
# unpacks it in /tmp and copies ./zentul.
set(ZENTUL_ARCHIVE ${CMAKE_BINARY_DIR}/Zentul-${PROJECT_VERSION}.tar.gz)
set(ZENTUL_ARCHIVE_FOLDER ${CMAKE_BINARY_DIR}/release-archive)
add_custom_command(
    OUTPUT ${ZENTUL_ARCHIVE}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zentul> ${CMAKE_SOURCE_DIR}/docs/zentul.1 ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E chdir ${ZENTUL_ARCHIVE_FOLDER} ${CMAKE_COMMAND} -E tar czf ${ZENTUL_ARCHIVE} zentul zentul.1
    DEPENDS zentul docs/zentul.1
    COMMENT "Packing Zentul-${PROJECT_VERSION}.tar.gz"
    VERBATIM)
add_custom_target(release_archive ALL DEPENDS ${ZENTUL_ARCHIVE})
