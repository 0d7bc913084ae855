# AddressSanitizer and UndefinedBehaviorSanitizer for every target of the build. Undefined
# behaviour aborts instead of printing and going on, so a test that hits it fails.
add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
