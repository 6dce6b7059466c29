# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staging tree, before the .deb is made:
# the files Debian's policy wants in a binary package, none of which `cmake --install`
# needs. Every file is gzip-compressed with -9n (no name, no time: the same bytes each
# build).
set(root "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT EXISTS "${root}/usr/bin/Trelba")
  # Component-less DEB builds stage under <tmp>/<package file name>/ in some versions.
  file(GLOB root LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
  list(GET root 0 root)
endif()
set(source "${CPACK_TRELBA_SOURCE_DIR}")
set(doc "${root}/usr/share/doc/trelba")

# The Debian changelog's newest entry must be this version (project(... VERSION) in
# CMakeLists.txt, the one place the version is written).
file(STRINGS "${source}/packaging/debian/changelog" newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^trelba \\(${CPACK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with '${newest}', "
                      "not version ${CPACK_PACKAGE_VERSION}")
endif()

# The program stripped as Debian's dh_strip strips it: no symbols it does not need, no
# .comment or .note sections.
execute_process(COMMAND "${CPACK_TRELBA_STRIP}" --remove-section=.comment --remove-section=.note
                        --strip-unneeded "${root}/usr/bin/Trelba" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "strip ${root}/usr/bin/Trelba failed")
endif()

function(trelba_gzip from to)
  execute_process(COMMAND gzip -9nc "${from}" OUTPUT_FILE "${to}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${from} failed")
  endif()
  file(CHMOD "${to}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

# The manual page, compressed in place.
set(man "${root}/usr/share/man/man1/Trelba.1")
trelba_gzip("${man}" "${man}.gz")
file(REMOVE "${man}")

file(MAKE_DIRECTORY "${doc}/examples")
file(COPY_FILE "${source}/packaging/debian/copyright" "${doc}/copyright")
file(CHMOD "${doc}/copyright" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
trelba_gzip("${source}/packaging/debian/changelog" "${doc}/changelog.gz")
trelba_gzip("${source}/examples/Ecoli_HighlyExpressedGenes.fa"
            "${doc}/examples/Ecoli_HighlyExpressedGenes.fa.gz")
