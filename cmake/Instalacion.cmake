# What `cmake --install` puts on a branch workstation: the two programs, the helper-function
# extension in the program's private library folder (where ConexionBaseDatos looks for it
# first), the menu entry, the icon, the AppStream metadata with its pictures, the manual pages.
set(EXPEDIENTES_ID mx.qor.Expedientes)

install(TARGETS expedientes expedientes-arranque RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS expedientes_funciones_sqlite
        LIBRARY DESTINATION ${EXPEDIENTES_DESTINO_MODULO})

install(FILES ${CMAKE_SOURCE_DIR}/data/${EXPEDIENTES_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/${EXPEDIENTES_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The PNGs are made from the SVG with rsvg-convert -w N -h N (librsvg2-bin) and kept in git.
install(FILES ${CMAKE_SOURCE_DIR}/data/iconos/${EXPEDIENTES_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(lado 48 256)
    install(FILES ${CMAKE_SOURCE_DIR}/data/iconos/${EXPEDIENTES_ID}-${lado}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${lado}x${lado}/apps
            RENAME ${EXPEDIENTES_ID}.png)
endforeach()
file(GLOB capturas CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/capturas/*.png)
install(FILES ${capturas} DESTINATION ${CMAKE_INSTALL_DATADIR}/expedientes/capturas)
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/expedientes.1
              ${CMAKE_SOURCE_DIR}/docs/man/expedientes-arranque.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
