# Installing, the Debian package and the release archive that "zentul -u"
# downloads. Included by the top-level CMakeLists.txt.
include(GNUInstallDirs)

# The program itself goes in one of two forms. "cmake --install" and the
# release archive take build/zentul, static unless ZENTUL_STATIC is off; the
# Debian package takes a form linked dynamically to the system's libraries,
# as Debian asks, from the install component "deb" that only CPack installs.
if(ZENTUL_STATIC)
    add_executable(zentul_dynamic src/cli/main.cpp)
    target_link_libraries(zentul_dynamic PRIVATE zentul_core)
    set_target_properties(zentul_dynamic PROPERTIES OUTPUT_NAME zentul
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dynamic)
    set(ZENTUL_DEB_PROGRAM zentul_dynamic)
else()
    set(ZENTUL_DEB_PROGRAM zentul)
endif()
install(TARGETS zentul RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(TARGETS ${ZENTUL_DEB_PROGRAM} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT deb EXCLUDE_FROM_ALL)

# The man page and the Debian changelog compressed as Debian asks: gzip -9n
# (no name, no time stamp), so that the same sources give the same bytes.
set(ZENTUL_COMPRESSED ${CMAKE_BINARY_DIR}/compressed)
foreach(source docs/zentul.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(
        OUTPUT ${ZENTUL_COMPRESSED}/${name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/${source} ${ZENTUL_COMPRESSED}/${name}
        COMMAND gzip -9nf ${ZENTUL_COMPRESSED}/${name}
        DEPENDS ${source}
        VERBATIM)
    list(APPEND ZENTUL_COMPRESSED_FILES ${ZENTUL_COMPRESSED}/${name}.gz)
endforeach()
add_custom_target(compressed_files ALL DEPENDS ${ZENTUL_COMPRESSED_FILES})

install(FILES ${ZENTUL_COMPRESSED}/zentul.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The guides keep their place beside the README, so that its links hold.
install(FILES README.md packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/language.md docs/packages.md docs/cookbook.md docs/distribution.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(FILES ${ZENTUL_COMPRESSED}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT deb EXCLUDE_FROM_ALL)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# Debian's Vim reads /usr/share/vim/vimfiles; the VS Code extension and the
# Sublime Text files are copied by the user; web highlighters take the grammar.
install(DIRECTORY editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)
install(DIRECTORY editors/vscode editors/sublime DESTINATION ${CMAKE_INSTALL_DATADIR}/zentul)
install(FILES editors/vscode/syntaxes/zentul.tmLanguage.json DESTINATION ${CMAKE_INSTALL_DATADIR}/zentul/textmate)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentul)
set(CPACK_PACKAGE_VENDOR "Zentul")
set(CPACK_PACKAGE_CONTACT "Zentul developers <dev@zentul.dev>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interpreter for the Zentul scripting language, with its package manager")
set(CPACK_PACKAGE_DESCRIPTION "Zentul runs scripts written in the small Zentul language and\ninstalls Zentul packages (.zep files) from static HTTP repositories.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything but the static program, in one package, its binary stripped.
set(CPACK_COMPONENTS_ALL Unspecified deb)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Downloads (adn install, -u, -d, -i) run curl, or wget when curl fails.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "curl | wget")
include(CPack)

# Zentul-<version>.tar.gz with zentul at its top, as the Linux self-update
# unpacks it in /tmp and copies ./zentul. The program is stripped.
# The system's strip: llvm-strip 14, which CMake picks beside clang, cannot
# strip a static glibc program.
find_program(ZENTUL_STRIP NAMES strip)
if(NOT ZENTUL_STRIP)
    set(ZENTUL_STRIP ${CMAKE_STRIP})
endif()
set(ZENTUL_ARCHIVE ${CMAKE_BINARY_DIR}/Zentul-${PROJECT_VERSION}.tar.gz)
set(ZENTUL_ARCHIVE_FOLDER ${CMAKE_BINARY_DIR}/release-archive)
add_custom_command(
    OUTPUT ${ZENTUL_ARCHIVE}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zentul> ${CMAKE_SOURCE_DIR}/docs/zentul.1 ${ZENTUL_ARCHIVE_FOLDER}
    COMMAND ${ZENTUL_STRIP} ${ZENTUL_ARCHIVE_FOLDER}/zentul
    COMMAND ${CMAKE_COMMAND} -E chdir ${ZENTUL_ARCHIVE_FOLDER} ${CMAKE_COMMAND} -E tar czf ${ZENTUL_ARCHIVE} zentul zentul.1
    DEPENDS zentul docs/zentul.1
    COMMENT "Packing Zentul-${PROJECT_VERSION}.tar.gz"
    VERBATIM)
add_custom_target(release_archive ALL DEPENDS ${ZENTUL_ARCHIVE})
