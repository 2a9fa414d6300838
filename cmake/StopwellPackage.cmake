# The Debian package: `cmake --build build --target package` writes
# tarrowby-stopwell_VERSION_amd64.deb into the build folder.
#
# Installed, the program cannot keep its log beside itself (/usr/bin is not
# writable), so its build names the one folder of the PC where the log lives.
# That folder is made by the package's postinst, shared by the group of the
# program's users; the package itself holds only the pristine copies the
# postinst delivers from.

set(STOPWELL_INSTALLED_FOLDER /var/lib/tarrowby-stopwell CACHE PATH
    "Where the installed program keeps its database and report definitions")
set(STOPWELL_GROUP stopwell CACHE STRING "The group of the installed program's users")
# The name the desktop, the menu and software centres know the program by
# (a reverse domain name), and where its pictures are published.
set(STOPWELL_APP_ID example.tarrowby.stopwell CACHE STRING "Desktop and AppStream identifier")
set(STOPWELL_WEB_ADDRESS https://tarrowby.example/stopwell CACHE STRING
    "Web address the AppStream screenshots are published under")

set(package tarrowby-stopwell)
set(staged ${CMAKE_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${staged})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The installed program: the same code as build/app/stopwell, its folder fixed.
add_executable(stopwell_installed ${PROJECT_SOURCE_DIR}/src/main.cpp)
target_link_libraries(stopwell_installed PRIVATE stopwell_screens)
target_compile_definitions(stopwell_installed PRIVATE STOPWELL_APP_FOLDER="${STOPWELL_INSTALLED_FOLDER}")
stopwell_warnings(stopwell_installed)
# Its relocations are resolved at start and then made read-only.
target_link_options(stopwell_installed PRIVATE -Wl,-z,relro -Wl,-z,now)
set_target_properties(stopwell_installed PROPERTIES OUTPUT_NAME stopwell RUNTIME_OUTPUT_DIRECTORY ${staged})

# A changelog's first entry names the version being packaged.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/deb/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${package} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/deb/changelog must begin with an entry for ${PROJECT_VERSION}")
endif()

foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/${script}.in ${staged}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/stopwell.desktop.in ${staged}/${STOPWELL_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/stopwell.metainfo.xml.in ${staged}/${STOPWELL_APP_ID}.metainfo.xml
               @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/stopwell.1.in ${staged}/stopwell.1 @ONLY)

# Compressed without a name or a time in the header, so the same text always
# gives the same bytes.
add_custom_command(
  OUTPUT ${staged}/stopwell.1.gz ${staged}/changelog.gz
  COMMAND gzip -9nc ${staged}/stopwell.1 > ${staged}/stopwell.1.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/deb/changelog > ${staged}/changelog.gz
  DEPENDS ${staged}/stopwell.1 ${PROJECT_SOURCE_DIR}/packaging/deb/changelog
  COMMENT "Compressing the manual page and the changelog")
# The delivered database, made afresh: build/app's is the developer's own log.
add_custom_command(
  OUTPUT ${staged}/Zuvevadu.mdb
  COMMAND ${CMAKE_COMMAND} -E rm -f ${staged}/Zuvevadu.mdb
  COMMAND stopwell-makedb ${staged}/Zuvevadu.mdb
  DEPENDS stopwell-makedb ${PROJECT_SOURCE_DIR}/data/Zuvevadu.sql
  COMMENT "Making the database the package delivers")
add_custom_target(stopwell_package_files ALL
                  DEPENDS ${staged}/stopwell.1.gz ${staged}/changelog.gz ${staged}/Zuvevadu.mdb)

set(share share/${package})
install(TARGETS stopwell_installed RUNTIME DESTINATION bin)
# CPack strips the symbols; the compilers' notes go too, as dh_strip does.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/stopwell\" COMMAND_ERROR_IS_FATAL ANY)")
install(FILES ${staged}/Zuvevadu.mdb ${PROJECT_SOURCE_DIR}/help/Stopwell.html DESTINATION ${share})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/reports/ DESTINATION ${share}/reports FILES_MATCHING PATTERN "*.rpt")
install(FILES ${staged}/${STOPWELL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${staged}/${STOPWELL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/stopwell.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME ${STOPWELL_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/stopwell-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${STOPWELL_APP_ID}.png)
endforeach()
install(FILES ${staged}/stopwell.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/deb/copyright ${staged}/changelog.gz DESTINATION share/doc/${package})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/deb/lintian-overrides DESTINATION share/lintian/overrides
        RENAME ${package})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${package})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarrowby Stopwell developers <stopwell@tarrowby.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logbook of pinsetter calls for a bowling centre")
# Paragraphs apart by an empty line; CPack indents them and puts the summary first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarrowby Stopwell is the logbook of a bowling centre's pinsetter mechanics.
Each time a pinsetter stops, the mechanic on shift picks the kind of call
from a board of 100 preset calls, types the lane and saves; the call is
stored with its date, time, weekday and who fixed it.

Around the call log it keeps daily shift notes, frame counts, a work
assignment sheet and weekly job lists. It prints reports and graphs of the
stored calls, browses and filters them, and compacts, backs up and restores
its database.

The log of the PC is kept in ${STOPWELL_INSTALLED_FOLDER}, shared by the
members of the group ${STOPWELL_GROUP}.")
# The libraries the program links are found by dpkg-shlibdeps. What Qt loads
# at run time (the SQLite driver is a plugin) and what the postinst runs
# (groupadd) cannot be seen that way, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, passwd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${staged}/postinst ${staged}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
