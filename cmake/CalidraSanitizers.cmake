# SPDX-License-Identifier: GPL-3.0-or-later
# With CALIDRA_SANITIZE the project's targets are built and linked with
# AddressSanitizer and UndefinedBehaviorSanitizer; any report ends the process.
option(CALIDRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(calidra_sanitizers INTERFACE)
if(CALIDRA_SANITIZE)
    set(sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    target_compile_options(calidra_sanitizers INTERFACE ${sanitizer_flags})
    target_link_options(calidra_sanitizers INTERFACE ${sanitizer_flags})
endif()
