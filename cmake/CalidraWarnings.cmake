# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings for the project's own code: every warning is an error.
add_library(calidra_warnings INTERFACE)
target_compile_options(calidra_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2
    -Werror)
# Text comes and goes as UTF-8 only where the code says so.
target_compile_definitions(calidra_warnings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)

# Hardening for the project's own code, carried by the same target: stack
# protection, checked C library calls where the code is optimised (the
# sanitizers check those themselves and do not mix with it), read-only
# relocations bound at start and position-independent executables.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
target_compile_options(calidra_warnings INTERFACE -fstack-protector-strong)
if(NOT CALIDRA_SANITIZE)
    target_compile_definitions(calidra_warnings INTERFACE
        $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
target_link_options(calidra_warnings INTERFACE -Wl,-z,relro,-z,now)
