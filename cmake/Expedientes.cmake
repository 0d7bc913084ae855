# One static library per folder of src/: every .cpp, .h, .ui and .qrc of the folder
# belongs to it, so adding a file needs no edit here.
function(expedientes_biblioteca nombre)
    cmake_parse_arguments(ARG "" "" "DEPENDE" ${ARGN})
    file(GLOB fuentes CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER fuentes EXCLUDE REGEX "/main\\.cpp$")
    set(compiladas ${fuentes})
    list(FILTER compiladas INCLUDE REGEX "\\.(cpp|c)$")
    if(compiladas)
        add_library(${nombre} STATIC ${fuentes})
        target_include_directories(${nombre} PUBLIC ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${nombre} PUBLIC ${ARG_DEPENDE})
    else()
        # A folder whose feature is not built yet.
        add_library(${nombre} INTERFACE)
        target_include_directories(${nombre} INTERFACE ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${nombre} INTERFACE ${ARG_DEPENDE})
    endif()
endfunction()

# Every tst_*.cpp of a tests/ folder is one test program registered with CTest.
function(expedientes_pruebas)
    cmake_parse_arguments(ARG "" "" "DEPENDE" ${ARGN})
    file(GLOB pruebas CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(fuente ${pruebas})
        get_filename_component(nombre ${fuente} NAME_WE)
        add_executable(${nombre} ${fuente})
        target_link_libraries(${nombre} PRIVATE expedientes_soporte_pruebas ${ARG_DEPENDE})
        add_test(NAME ${nombre} COMMAND ${nombre})
        set_tests_properties(${nombre} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;EXPEDIENTES_FUENTES=${CMAKE_SOURCE_DIR};EXPEDIENTES_BINARIOS=${CMAKE_BINARY_DIR}"
            TIMEOUT 300)
    endforeach()
endfunction()
