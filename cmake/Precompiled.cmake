# Precompiled headers (cmake/pch/). Parsing the Qt and standard headers again
# in every unit took most of the build's time; now each kind is compiled once,
# in a donor target that builds nothing else, and the targets of that kind
# reuse it. GCC takes a precompiled header only when the macros it tests are
# defined alike, so the kinds follow the Qt modules that a target links (Qt
# Test's headers test the QT_*_LIB macros); tarnwick_strict adds
# -Winvalid-pch, so that a header GCC turned down fails a -Werror build
# instead of quietly making it slow. Packagers may build without them:
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON.

set(TARNWICK_PCH_DIR "${CMAKE_CURRENT_LIST_DIR}/pch")

# tarnwick_pch_donor(kind HEADERS header... LINKS library...) compiles the
# headers, found in cmake/pch/, into the precompiled header of that kind.
function(tarnwick_pch_donor kind)
    if(CMAKE_DISABLE_PRECOMPILE_HEADERS)
        return()
    endif()
    cmake_parse_arguments(D "" "" "HEADERS;LINKS" ${ARGN})
    list(TRANSFORM D_HEADERS PREPEND "${TARNWICK_PCH_DIR}/")
    add_library(tw_pch_${kind} OBJECT "${TARNWICK_PCH_DIR}/donor.cpp")
    set_target_properties(tw_pch_${kind} PROPERTIES AUTOMOC OFF)
    target_link_libraries(tw_pch_${kind} PRIVATE ${D_LINKS})
    target_precompile_headers(tw_pch_${kind} PRIVATE ${D_HEADERS})
    # The users' warning flags too: -Wpedantic changes what GCC predefines.
    tarnwick_strict(tw_pch_${kind})
endfunction()

# tarnwick_precompiled(kind [MOCS] target...) gives the targets that kind's
# header. Their mocs_compilation.cpp goes without it: automoc makes one for
# every target, and it is empty unless the target's headers declare QObject
# classes, while loading the header costs more than half a second. MOCS
# (for such targets) gives it the header too.
function(tarnwick_precompiled kind)
    if(CMAKE_DISABLE_PRECOMPILE_HEADERS)
        return()
    endif()
    cmake_parse_arguments(P "MOCS" "" "" ${ARGN})
    foreach(target ${P_UNPARSED_ARGUMENTS})
        target_precompile_headers(${target} REUSE_FROM tw_pch_${kind})
        if(NOT P_MOCS)
            get_target_property(binary_dir ${target} BINARY_DIR)
            set_source_files_properties("${binary_dir}/${target}_autogen/mocs_compilation.cpp"
                                        TARGET_DIRECTORY ${target}
                                        PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endfunction()

tarnwick_pch_donor(core HEADERS core.h LINKS Qt6::Core)
tarnwick_pch_donor(widgets HEADERS widgets.h LINKS Qt6::Widgets)
