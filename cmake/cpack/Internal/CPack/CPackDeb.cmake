# CPack's own script of the Debian generator, found first through CPACK_MODULE_PATH, then one
# correction. CPack gives a package maintainer scripts that run ldconfig when it has a shared
# object anywhere under /usr/lib/<folder>/; the program's private libraries in /usr/lib/throngkit/
# are found through its RUNPATH, never through the linker's cache, and Debian wants no such
# scripts (lintian: maintscript-calls-ldconfig). The package test runs lintian on the result.
include(${CMAKE_ROOT}/Modules/Internal/CPack/CPackDeb.cmake)
set(GEN_CPACK_DEBIAN_GENERATE_POSTINST 0)
set(GEN_CPACK_DEBIAN_GENERATE_POSTRM 0)
