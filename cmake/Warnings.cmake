# Warnings every target of the project compiles with. -Werror comes from
# KLOXMERE_WERROR (CI turns it on) rather than being hard-wired.
add_library(kloxmere_warnings INTERFACE)
target_compile_options(kloxmere_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(KLOXMERE_WERROR)
    target_compile_options(kloxmere_warnings INTERFACE -Werror)
endif()
