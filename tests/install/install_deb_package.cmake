# CPack's Debian package, unpacked into WORK/root as dpkg would install it,
# then the installed programs from there.
#   cmake -DBUILD=... -DWORK=... (layout of the build) -P install_deb_package.cmake
include("${CMAKE_CURRENT_LIST_DIR}/installed_tree.cmake")
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
    message("SKIPPED: dpkg-deb is not installed")
    return()
endif()
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${BUILD}/CPackConfig.cmake" -B "${WORK}/package"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack ended with ${rc}:\n${out}\n${err}")
endif()
file(GLOB package "${WORK}/package/gainbook_${VERSION}*.deb")
if(NOT package)
    message(FATAL_ERROR "cpack made no gainbook_${VERSION}*.deb:\n${out}")
endif()

# What apt would install with it: the Qt libraries the programs link, and
# what they load at run time.
execute_process(COMMAND "${DPKG_DEB}" -f "${package}" Depends OUTPUT_VARIABLE depends)
set(needed libqt6core6 libqt6sql6 libqt6sql6-sqlite)
if(GUI)
    list(APPEND needed libqt6widgets6 libqt6webenginecore6-bin)
endif()
foreach(name IN LISTS needed)
    if(NOT depends MATCHES "(^|[ ,])${name}([ ,(]|$)")
        message(FATAL_ERROR "the package does not depend on ${name}: ${depends}")
    endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" -x "${package}" "${WORK}/root" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x ended with ${rc}")
endif()
check_installed_tree("${WORK}/root/usr" "${WORK}")
