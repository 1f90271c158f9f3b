# What `cmake --install` puts beside the programs for a user of the installed system (manual
# pages, the copyright and the changelog), and the Debian package CPack makes of it all:
#   cpack -G DEB --config build/CPackConfig.cmake   (scripts/package.sh does it for you)

set(TINLARK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tinlark)
set(TINLARK_MAINTAINER "The Tinlark developers <tinlark@example.org>")

# Debian wants its documentation compressed with gzip -9 and without a time stamp, so that
# the same sources make the same package. The files are made when CMake configures.
find_program(TINLARK_GZIP gzip REQUIRED)
function(tinlark_gzipped source output)
  configure_file(${source} ${output} @ONLY)
  execute_process(COMMAND ${TINLARK_GZIP} -9nf ${output} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${output}")
  endif()
endfunction()

set(man_dir ${CMAKE_BINARY_DIR}/man)
foreach(page tinlark.1 tinlark-makedb.1)
  tinlark_gzipped(${PROJECT_SOURCE_DIR}/docs/man/${page}.in ${man_dir}/${page})
  install(FILES ${man_dir}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The changelog's one entry is this release, dated by its release day.
execute_process(COMMAND date -u -R -d "${TINLARK_RELEASE_DATE} 12:00" OUTPUT_VARIABLE TINLARK_RELEASE_TIME
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "date cannot read the release date ${TINLARK_RELEASE_DATE}")
endif()
tinlark_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${TINLARK_DOC_DIR})

# Installing (and so packaging) needs only what is installed built, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tinlark)
set(CPACK_PACKAGE_VENDOR "The Tinlark project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TINLARK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep canned speeches and put them on the clipboard")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tinlark_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TINLARK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary above this as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The Tinlark keeps canned speeches: reusable passages of text, each filed
under a language with a line of keywords and a comment. Browse the speeches
of one language at a time, edit them, search their keywords and put the
current one on the clipboard with one key, ready to paste into a mail or a
chat. The speeches live in one SQLite file, or in a library on a PostgreSQL
server that a team shares.
.
tinlark-makedb makes speech databases, converts an Access (Jet) database of
the Windows program and copies a library between a file and a server.")
# The libraries the programs link come from dpkg-shlibdeps; the window system's plugins, the
# SVG plugin for the icons, PostgreSQL's client library, the keyring's, libmdb (which reads
# Access files) and XTest (which pastes) are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, libpq5, libsecret-1-0, libmdb3, libxtst6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
