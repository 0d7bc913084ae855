# Installs the build into a scratch prefix and checks what a workstation gets: the programs,
# the helper-function extension where the installed program looks for it, and the menu entry
# and AppStream metadata as the desktop's own validators take them (when they are installed).
#   cmake -DBINARIOS=<build> -DDESTINO=<scratch> -DBINDIR=bin -DMODULO=<path from BINDIR>
#         -DID=<desktop id> -P instalacion.cmake
file(REMOVE_RECURSE "${DESTINO}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BINARIOS}" --prefix "${DESTINO}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install falló (${rc})")
endif()

set(esperados
    "${BINDIR}/expedientes" "${BINDIR}/expedientes-arranque" "${BINDIR}/${MODULO}"
    share/applications/${ID}.desktop share/metainfo/${ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${ID}.svg share/icons/hicolor/48x48/apps/${ID}.png
    share/icons/hicolor/256x256/apps/${ID}.png
    share/man/man1/expedientes.1 share/man/man1/expedientes-arranque.1)
foreach(archivo ${esperados})
    if(NOT EXISTS "${DESTINO}/${archivo}")
        message(FATAL_ERROR "falta ${archivo} en la instalación")
    endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${DESTINO}/share/applications/${ID}.desktop"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate rechaza la entrada del menú")
    endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net
                            "${DESTINO}/share/metainfo/${ID}.metainfo.xml" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "appstreamcli rechaza los metadatos")
    endif()
endif()
file(REMOVE_RECURSE "${DESTINO}")
