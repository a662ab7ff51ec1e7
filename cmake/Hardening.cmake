# Debian's hardening for optimised Linux builds, so that the programs of the
# package carry it: stack protector, fortified libc calls, read-only
# relocations and immediate binding.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT KLOXMERE_SANITIZE AND NOT KLOXMERE_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^Rel")
    add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
