# What `cmake --install` puts where, and how CPack packs it: a Debian package
# and a tarball on Linux, a zip on Windows. packaging/make-release builds them
# all; the version is project()'s.
#
# The install rules are split into components, so that each package takes what
# its platform expects:
#   program   bin/pigreco                                       the Debian package, the tarball
#   manual    the man pages, gzipped (not built for Windows)    the Debian package, the tarball
#   docs      LICENSE and the user pages (README.md, LEGGIMI.md)
#             in share/doc/pigreco                              plain `cmake --install` only
#   debian    copyright and changelog.gz (Debian's formats) and
#             the user pages in share/doc/pigreco               the Debian package only
#   bundle    LICENSE and the user pages at the top, for people
#             who unpack an archive and look; on Windows the
#             program too, beside them, and the notices of
#             the runtime linked into it (THIRD-PARTY.txt);
#             in the web build the page (web/CMakeLists.txt);
#             in the zips the manual as HTML (manual.html,
#             manuale.html)                                     the tarball and the zips
# `debian` and `bundle` are left out of a plain `cmake --install`;
# packaging/cpack_components.cmake picks the components of each package.
include(GNUInstallDirs)

install(TARGETS pigreco RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
# The pages for users, in English and Italian, go wherever the program goes;
# the maintainers' documents (docs/, CONTRIBUTING.md, bench/README.md) stay in
# the source.
set(user_pages README.md LEGGIMI.md)
install(FILES LICENSE ${user_pages} DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT docs)

# Compressed as Debian wants them (gzip -9n: best compression, no name, no
# time stamp, so the same source gives the same bytes); man reads them so
# everywhere. Where there is no gzip they are installed as they are.
find_program(PIGRECO_GZIP gzip)
function(pigreco_gzipped source output)
  get_filename_component(name ${source} NAME)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${dir}/${name}
    COMMAND ${PIGRECO_GZIP} -9 -n -f ${dir}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
endfunction()

set(man_pages man/pigreco.1 man/it/pigreco.1)
set(man_destinations ${CMAKE_INSTALL_MANDIR}/man1 ${CMAKE_INSTALL_MANDIR}/it/man1)
if(NOT WIN32)
  foreach(page destination IN ZIP_LISTS man_pages man_destinations)
    if(PIGRECO_GZIP)
      set(installed ${PROJECT_BINARY_DIR}/${page}.gz)
      pigreco_gzipped(${PROJECT_SOURCE_DIR}/${page} ${installed})
      list(APPEND gzipped ${installed})
    else()
      set(installed ${PROJECT_SOURCE_DIR}/${page})
    endif()
    install(FILES ${installed} DESTINATION ${destination} COMPONENT manual)
  endforeach()
endif()

# Windows and the browser have no `man`: their zips carry the manual pages
# rendered as HTML, which any browser opens.
set(rendered_manuals manual.html manuale.html)
if(WIN32 OR EMSCRIPTEN)
  find_program(PIGRECO_MANDOC mandoc)
  if(PIGRECO_MANDOC)
    foreach(page name IN ZIP_LISTS man_pages rendered_manuals)
      set(rendered ${PROJECT_BINARY_DIR}/packaging/${name})
      add_custom_command(OUTPUT ${rendered}
        COMMAND ${CMAKE_COMMAND} -DMANDOC=${PIGRECO_MANDOC} -DINPUT=${PROJECT_SOURCE_DIR}/${page}
                -DOUTPUT=${rendered} -P ${PROJECT_SOURCE_DIR}/packaging/render_manual.cmake
        DEPENDS ${PROJECT_SOURCE_DIR}/${page} ${PROJECT_SOURCE_DIR}/packaging/render_manual.cmake
        COMMENT "Rendering ${page} as ${name}"
        VERBATIM)
      list(APPEND bundle_manuals ${rendered})
    endforeach()
  else()
    message(WARNING "mandoc not found (Debian: mandoc): the zip will lack the manual, "
                    "${rendered_manuals}")
  endif()
endif()

# The Debian package's documents, in Debian's formats.
if(PIGRECO_GZIP)
  set(changelog ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz)
  pigreco_gzipped(${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${changelog})
  list(APPEND gzipped ${changelog})
  install(FILES ${changelog} packaging/debian/copyright ${user_pages}
    DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
endif()
# The changelog's newest entry names the version, which must be project()'s
# (cpack checks it), and the maintainer.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog changelog_heading LIMIT_COUNT 1)
string(REGEX REPLACE "^[^ ]+ \\(([^)]+)\\).*$" "\\1" CPACK_PIGRECO_CHANGELOG_VERSION "${changelog_heading}")
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog changelog_signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- (.*>)  .*$" "\\1" CPACK_DEBIAN_PACKAGE_MAINTAINER "${changelog_signature}")

# On Windows the text files get CR LF line ends and a .txt name, which opens
# them in Notepad.
if(WIN32)
  install(TARGETS pigreco RUNTIME DESTINATION . COMPONENT bundle EXCLUDE_FROM_ALL)
  foreach(text IN ITEMS LICENSE ${user_pages})
    get_filename_component(stem ${text} NAME_WE)
    set(converted ${PROJECT_BINARY_DIR}/packaging/${stem}.txt)
    add_custom_command(OUTPUT ${converted}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${text} -DOUTPUT=${converted}
              -P ${PROJECT_SOURCE_DIR}/packaging/crlf.cmake
      DEPENDS ${PROJECT_SOURCE_DIR}/${text} ${PROJECT_SOURCE_DIR}/packaging/crlf.cmake
      VERBATIM)
    list(APPEND bundle_texts ${converted})
  endforeach()
  # The static program carries MinGW-w64's runtime, whose licences ask for
  # their notices to come with it.
  find_file(PIGRECO_MINGW_COPYRIGHT copyright PATHS /usr/share/doc/mingw-w64-common
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(PIGRECO_MINGW_COPYRIGHT)
    set(third_party ${PROJECT_BINARY_DIR}/packaging/THIRD-PARTY.txt)
    add_custom_command(OUTPUT ${third_party}
      COMMAND ${CMAKE_COMMAND} -DHEADER=${PROJECT_SOURCE_DIR}/packaging/third_party_header.txt
              -DCOPYRIGHT=${PIGRECO_MINGW_COPYRIGHT} -DOUTPUT=${third_party}
              -P ${PROJECT_SOURCE_DIR}/packaging/third_party.cmake
      DEPENDS ${PROJECT_SOURCE_DIR}/packaging/third_party_header.txt ${PIGRECO_MINGW_COPYRIGHT}
              ${PROJECT_SOURCE_DIR}/packaging/third_party.cmake
      VERBATIM)
    list(APPEND bundle_texts ${third_party})
  else()
    message(WARNING "MinGW-w64's copyright file not found (Debian: mingw-w64-common): "
                    "the zip will lack THIRD-PARTY.txt, the notices of the runtime linked into pigreco.exe")
  endif()
else()
  set(bundle_texts LICENSE ${user_pages})
endif()
list(APPEND bundle_texts ${bundle_manuals})
install(FILES ${bundle_texts} DESTINATION . COMPONENT bundle EXCLUDE_FROM_ALL)
add_custom_target(pigreco_package_files ALL DEPENDS ${gzipped} ${bundle_texts})

set(CPACK_PACKAGE_NAME pigreco)
set(CPACK_PACKAGE_VENDOR "The pigreco authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "approximate pi with the Leibniz series, in Italian")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  # pigreco-1.0.0-win64.zip, pigreco-1.0.0-win32.zip
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
elseif(EMSCRIPTEN)
  # pigreco-1.0.0-web.zip: the page (web/CMakeLists.txt) and the user pages.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME web)
else()
  set(CPACK_GENERATOR TGZ DEB)
  # pigreco-1.0.0-linux-x86_64.tar.gz
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
endif()
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpack_components.cmake)

# pigreco_1.0.0_amd64.deb, pigreco_1.0.0_armhf.deb, ...: the target's Debian
# architecture, which dpkg derives from the compiler's GNU triple (cpack would
# otherwise name the build machine's).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(PIGRECO_DPKG_ARCHITECTURE dpkg-architecture)
if(PIGRECO_DPKG_ARCHITECTURE AND NOT WIN32)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
    OUTPUT_VARIABLE target_triple OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${PIGRECO_DPKG_ARCHITECTURE} -t "${target_triple}" -qDEB_HOST_ARCH
    OUTPUT_VARIABLE debian_architecture OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
    RESULT_VARIABLE status)
  if(status EQUAL 0 AND debian_architecture)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${debian_architecture})
  endif()
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
pigreco is a small console program that speaks Italian. It asks for a
number of iterations, adds exactly that many terms of the Leibniz series
pi = 4 (1 - 1/3 + 1/5 - 1/7 + ...) and prints the partial sum with up to
20 significant digits.

Each term and each addition are evaluated with a 64-bit significand, the
precision of the x87 80-bit extended format, and the running sum is
rounded to a double after every term: the digits are those of that
arithmetic, not of plain double arithmetic. The program does it exactly
with integers, so it prints the same digits on every machine.]=])
# Debian's armhf compiler and C library make ARMv7 code, which an ARMv6
# processor stops at with an illegal instruction (.ci/stages/armhf.sh runs it
# on both).
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE STREQUAL "armhf")
  string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[


This build runs on ARMv7 processors and later: the Raspberry Pi 2 and
later (the Zero 2 W too) and other ARMv7 boards. The ARMv6 processor of
the Raspberry Pi 1, Zero and Zero W cannot run it; there, build pigreco
from its source.]=])
endif()

include(CPack)
