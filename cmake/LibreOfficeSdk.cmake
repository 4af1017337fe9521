# The office's C++ API: generates the UNO headers with cppumaker at build time
# (Debian's SDK ships none) and offers the interface target LibreOffice::Uno.

set(LO_PROGRAM_DIR "/usr/lib/libreoffice/program" CACHE PATH "Office program folder")
set(LO_SDK_DIR "/usr/lib/libreoffice/sdk" CACHE PATH "Office SDK folder")
set(LO_INCLUDE_DIR "/usr/include/libreoffice" CACHE PATH "Office SDK headers")

find_program(LO_CPPUMAKER cppumaker PATHS "${LO_SDK_DIR}/bin" NO_DEFAULT_PATH REQUIRED)
foreach(lib uno_cppu uno_cppuhelpergcc3 uno_sal)
    find_library(LO_LIB_${lib} ${lib} PATHS "${LO_SDK_DIR}/lib" "${LO_PROGRAM_DIR}" NO_DEFAULT_PATH
                 REQUIRED)
endforeach()

set(LO_TYPE_FILES "${LO_PROGRAM_DIR}/types.rdb" "${LO_PROGRAM_DIR}/types/offapi.rdb")
set(LO_GENERATED_DIR "${CMAKE_BINARY_DIR}/uno-headers")
set(LO_STAMP "${LO_GENERATED_DIR}/.stamp")

add_custom_command(
    OUTPUT "${LO_STAMP}"
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${LO_GENERATED_DIR}/com"
    COMMAND ${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${LO_PROGRAM_DIR}"
            "${LO_CPPUMAKER}" -O "${LO_GENERATED_DIR}" ${LO_TYPE_FILES}
    COMMAND ${CMAKE_COMMAND} -E touch "${LO_STAMP}"
    DEPENDS ${LO_TYPE_FILES}
    COMMENT "Generating the office API headers with cppumaker"
    VERBATIM)
add_custom_target(uno_headers DEPENDS "${LO_STAMP}")

add_library(lo_uno INTERFACE)
add_library(LibreOffice::Uno ALIAS lo_uno)
target_include_directories(lo_uno SYSTEM INTERFACE "${LO_INCLUDE_DIR}" "${LO_GENERATED_DIR}")
target_compile_definitions(lo_uno INTERFACE LINUX UNX CPPU_ENV=gcc3)
target_link_libraries(lo_uno INTERFACE ${LO_LIB_uno_cppu} ${LO_LIB_uno_cppuhelpergcc3}
                                                 ${LO_LIB_uno_sal})
target_link_options(lo_uno INTERFACE "LINKER:-rpath,${LO_PROGRAM_DIR}")
add_dependencies(lo_uno uno_headers)
