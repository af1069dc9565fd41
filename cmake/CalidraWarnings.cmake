# Warnings for the project's own code: every warning is an error.
add_library(calidra_warnings INTERFACE)
target_compile_options(calidra_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
# Text comes and goes as UTF-8 only where the code says so.
target_compile_definitions(calidra_warnings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
