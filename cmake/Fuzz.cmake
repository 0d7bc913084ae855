# Fuzz targets need clang's libFuzzer. The whole code is instrumented for coverage and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer; only the fuzz targets link libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "EXPEDIENTES_FUZZ needs clang (configure with CMAKE_CXX_COMPILER=clang++-14)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
