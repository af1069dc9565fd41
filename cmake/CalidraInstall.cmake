# SPDX-License-Identifier: GPL-3.0-or-later
# Installing puts the bundle in lib/calidra (the executable beside its
# Resources), a `calidra` command on PATH that starts it, the launcher, the
# icons, the AppStream metadata, the manual page and the copyright and
# changelog. The same rules make the Debian package, which also holds the
# root helper that loads the temperature driver and its polkit actions.
include(GNUInstallDirs)

set(CALIDRA_INSTALL_BUNDLE lib/calidra)
set(package ${PROJECT_SOURCE_DIR}/resources/package)

install(TARGETS calidra RUNTIME DESTINATION ${CALIDRA_INSTALL_BUNDLE})
# A stripped install (the package's) also drops the compiler's notes.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CALIDRA_INSTALL_BUNDLE}/calidra\")
    endif()")
install(DIRECTORY ${CALIDRA_RESOURCES_DIR} DESTINATION ${CALIDRA_INSTALL_BUNDLE})
# The root helper and the polkit actions that name it are the package's
# alone (component "package", which CPack installs and `cmake --install` does
# not): a bundle installed by a user could not keep a helper root-owned, and
# polkit reads actions from /usr/share only. Without the helper the program
# hands its checked scripts to a root shell.
install(PROGRAMS ${package}/calidra-driver DESTINATION ${CALIDRA_INSTALL_BUNDLE}
        COMPONENT package EXCLUDE_FROM_ALL)
install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(CREATE_LINK ../${CALIDRA_INSTALL_BUNDLE}/calidra \"\${bin}/calidra\" SYMBOLIC)")

# The polkit actions name the helper by its absolute path, known only when
# installing.
install(CODE "
    file(READ \"${package}/calidra.policy.in\" policy)
    string(REPLACE @CALIDRA_HELPER@
           \"\${CMAKE_INSTALL_PREFIX}/${CALIDRA_INSTALL_BUNDLE}/calidra-driver\" policy \"\${policy}\")
    set(actions \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/polkit-1/actions\")
    file(WRITE \"\${actions}/org.calidra.Calidra.policy\" \"\${policy}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${actions}/org.calidra.Calidra.policy\")"
    COMPONENT package EXCLUDE_FROM_ALL)

install(FILES resources/desktop/calidra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${package}/org.calidra.Calidra.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "resources/Status Icon.svg" RENAME calidra.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Pixel icons for the panels and menus that do not scale the SVG, when the
# build can render them.
find_program(CALIDRA_RSVG_CONVERT rsvg-convert)
if(CALIDRA_RSVG_CONVERT)
    set(icons)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/calidra.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
            COMMAND ${CALIDRA_RSVG_CONVERT} -w ${size} -h ${size}
                    "${PROJECT_SOURCE_DIR}/resources/Status Icon.svg" -o ${png}
            DEPENDS "${PROJECT_SOURCE_DIR}/resources/Status Icon.svg"
            VERBATIM)
        list(APPEND icons ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(calidra_icons ALL DEPENDS ${icons})
endif()

# The manual page and the changelog, compressed as Debian wants them.
find_program(CALIDRA_GZIP gzip REQUIRED)
set(compressed)
foreach(file calidra.1 changelog)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/${file}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
        COMMAND ${CALIDRA_GZIP} -9n -c ${package}/${file} > ${CMAKE_BINARY_DIR}/package/${file}.gz
        DEPENDS ${package}/${file})
    list(APPEND compressed ${CMAKE_BINARY_DIR}/package/${file}.gz)
endforeach()
add_custom_target(calidra_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/package/calidra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz ${package}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/calidra)
