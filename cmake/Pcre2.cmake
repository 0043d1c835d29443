# PCRE2's 16-bit library for a build that has no Debian package of it (the
# mingw-w64 cross build): the very version Debian 12's libpcre2-dev holds,
# built at build time from Debian's source package (fetched and unpacked by
# tools/fetch-debian-source.sh, which checks it against the .dsc and applies
# Debian's patches) as a static library with JIT. Everything stays in the
# build folder under third-party/, so a second build fetches nothing.
# Defines the imported target `pcre2_16`.
include(ExternalProject)

set(ZELVANE_PCRE2_VERSION 10.42)
set(ZELVANE_THIRD_PARTY ${CMAKE_BINARY_DIR}/third-party)
set(ZELVANE_PCRE2_INSTALL ${ZELVANE_THIRD_PARTY}/pcre2-install)
set(ZELVANE_PCRE2_LIBRARY ${ZELVANE_PCRE2_INSTALL}/lib/libpcre2-16.a)

ExternalProject_Add(pcre2_build
    PREFIX ${ZELVANE_THIRD_PARTY}/pcre2-build
    SOURCE_DIR ${ZELVANE_THIRD_PARTY}/pcre2-${ZELVANE_PCRE2_VERSION}
    DOWNLOAD_COMMAND bash ${CMAKE_SOURCE_DIR}/tools/fetch-debian-source.sh pcre2 ${ZELVANE_PCRE2_VERSION}
                     ${ZELVANE_THIRD_PARTY}
    UPDATE_COMMAND ""
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
               -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_INSTALL_PREFIX=${ZELVANE_PCRE2_INSTALL}
               -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
               -DBUILD_SHARED_LIBS=OFF
               -DPCRE2_BUILD_PCRE2_8=OFF
               -DPCRE2_BUILD_PCRE2_16=ON
               -DPCRE2_BUILD_PCRE2_32=OFF
               -DPCRE2_SUPPORT_JIT=ON
               -DPCRE2_SUPPORT_UNICODE=ON
               -DPCRE2_BUILD_PCRE2GREP=OFF
               -DPCRE2_BUILD_TESTS=OFF
    BUILD_BYPRODUCTS ${ZELVANE_PCRE2_LIBRARY})

file(MAKE_DIRECTORY ${ZELVANE_PCRE2_INSTALL}/include)
add_library(pcre2_16 STATIC IMPORTED GLOBAL)
set_target_properties(pcre2_16 PROPERTIES
    IMPORTED_LOCATION ${ZELVANE_PCRE2_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${ZELVANE_PCRE2_INSTALL}/include
    INTERFACE_COMPILE_DEFINITIONS PCRE2_STATIC)
add_dependencies(pcre2_16 pcre2_build)
