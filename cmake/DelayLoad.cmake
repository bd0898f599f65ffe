# DLLs that only some commands need are loaded when first called, not at start:
# zc_delay_load(<target> <dll>...) links <target> to each through a delay-import
# library made from cmake/delayload/<dll>.def (names with their 32-bit stdcall
# decoration, dropped for 64-bit). Calls need no change.
if(MSVC)
    function(zc_delay_load target)
        foreach(dll IN LISTS ARGN)
            target_link_libraries(${target} PUBLIC ${dll})
            target_link_options(${target} PUBLIC /DELAYLOAD:${dll}.dll)
        endforeach()
        target_link_libraries(${target} PUBLIC delayimp)
    endfunction()
    return()
endif()

if(NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "dlltool not found: it makes the delay-import libraries")
endif()

function(zc_delay_load target)
    set(dir ${CMAKE_BINARY_DIR}/delayload)
    file(MAKE_DIRECTORY ${dir})
    foreach(dll IN LISTS ARGN)
        set(source ${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
        file(READ ${source} exports)
        if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
            string(REGEX REPLACE "@[0-9]+" "" exports "${exports}")
        endif()
        file(CONFIGURE OUTPUT ${dir}/${dll}.def CONTENT "${exports}")
        set(library ${dir}/lib${dll}_delay.a)
        # -k: the DLL exports the names without the decoration.
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} -k --input-def ${dll}.def --output-delaylib ${library}
                    --temp-prefix ${dll}_tmp
            DEPENDS ${dir}/${dll}.def
            WORKING_DIRECTORY ${dir}
            VERBATIM)
        add_custom_target(zc_delay_${dll} DEPENDS ${library})
        add_dependencies(${target} zc_delay_${dll})
        # Ahead of the toolchain's own import library, which the link line ends with.
        target_link_libraries(${target} PUBLIC ${library})
    endforeach()
endfunction()
