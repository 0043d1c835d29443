# Release packages, made with `cmake --build <build folder> --target package`:
#   Windows: Zelvane3-<version>-x64.zip, unpacked into Far's Plugins folder as
#            Zelvane3\ (the DLL, the language and help files, README.txt,
#            CHANGELOG.md);
#   Linux:   the stand-in host as a .deb and a .tar.gz (zelvane-host in bin/,
#            the plugin library and its language and help files in lib/zelvane3/).
# The version is the CMake project version, as in the DLL's version resource
# and the Linux library's stamp.

file(GLOB ZELVANE_PACKAGE_TEXT_FILES ${CMAKE_SOURCE_DIR}/plugin/lng/*.lng ${CMAKE_SOURCE_DIR}/plugin/hlf/*.hlf)
set(ZELVANE_VERSION ${PROJECT_VERSION})

set(CPACK_PACKAGE_VENDOR "The Zelvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch file renamer for Far Manager 3")
set(CPACK_PACKAGE_CONTACT "The Zelvane developers <zelvane@zelvane.example.org>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(ZELVANE_PLUGIN_FOLDER Zelvane3)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY
                   NEWLINE_STYLE CRLF)
    # The DLL alone: its import library is of no use to Far.
    install(FILES $<TARGET_FILE:Zelvane3> DESTINATION ${ZELVANE_PLUGIN_FOLDER})
    install(FILES ${ZELVANE_PACKAGE_TEXT_FILES} ${CMAKE_BINARY_DIR}/packaging/README.txt
                  ${CMAKE_SOURCE_DIR}/CHANGELOG.md
            DESTINATION ${ZELVANE_PLUGIN_FOLDER})
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "Zelvane3-${PROJECT_VERSION}-x64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
elseif(NOT ZELVANE_SANITIZE AND NOT ZELVANE_TSAN)
    install(TARGETS zelvane-host RUNTIME DESTINATION bin)
    install(TARGETS Zelvane3 LIBRARY DESTINATION lib/zelvane3)
    install(FILES ${ZELVANE_PACKAGE_TEXT_FILES} DESTINATION lib/zelvane3)
    install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md DESTINATION share/doc/zelvane-host)
    set(CPACK_GENERATOR DEB TGZ)
    set(CPACK_PACKAGE_NAME zelvane-host)
    set(CPACK_PACKAGE_FILE_NAME "zelvane-host-${PROJECT_VERSION}-linux-x86_64")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

include(CPack)
