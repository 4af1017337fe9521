# Strict warnings for our own code only; generated and system headers are SYSTEM includes.
# Warnings stop the build only where asked for (scripts/setup, CI): a newer
# compiler's new warning must not break a user's or a distribution's build.
option(TARNWICK_WERROR "Treat compiler warnings as errors" OFF)
function(tarnwick_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Winvalid-pch
                                             $<$<BOOL:${TARNWICK_WERROR}>:-Werror>)
endfunction()

# TARNWICK_SANITIZE: OFF; ON or address for AddressSanitizer with
# UndefinedBehaviorSanitizer; thread for ThreadSanitizer (run it with the
# TSAN_OPTIONS that docs/building.md gives).
set(TARNWICK_SANITIZE OFF CACHE STRING "OFF, ON/address (ASan and UBSan) or thread (TSan)")
set_property(CACHE TARNWICK_SANITIZE PROPERTY STRINGS OFF ON address thread)
string(TOLOWER "${TARNWICK_SANITIZE}" tarnwick_sanitize)
if(tarnwick_sanitize STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(tarnwick_sanitize MATCHES "^(on|address|yes|true|1)$")
    # Not the vptr check: calls through the office's interfaces reach the
    # UNO bridge's proxies, whose tables carry no type information, so every
    # office call would be reported.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize=vptr)
elseif(NOT tarnwick_sanitize MATCHES "^(off|no|false|0|)$")
    message(FATAL_ERROR "TARNWICK_SANITIZE: OFF, ON, address or thread, not ${TARNWICK_SANITIZE}")
endif()
