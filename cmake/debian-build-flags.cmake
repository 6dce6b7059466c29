# The flags Debian builds its packages with (dpkg-buildflags, with every hardening
# feature: _FORTIFY_SOURCE, the stack protector, format checks, relro and bindnow), for
# the Debian package's build (-DTRELBA_DEBIAN_BUILD_FLAGS=ON). The optimisation level and
# debug information stay as the build type sets them, so the program computes as every
# other build does.
find_program(TRELBA_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(trelba_debian_flags variable result)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${TRELBA_DPKG_BUILDFLAGS} --get ${variable}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-O|^-g$")
  set(${result} ${flags} PARENT_SCOPE)
endfunction()

trelba_debian_flags(CPPFLAGS trelba_debian_cppflags)
trelba_debian_flags(CXXFLAGS trelba_debian_cxxflags)
trelba_debian_flags(LDFLAGS trelba_debian_ldflags)
add_compile_options(${trelba_debian_cppflags} ${trelba_debian_cxxflags})
add_link_options(${trelba_debian_ldflags})
message(STATUS "Debian build flags: ${trelba_debian_cppflags} ${trelba_debian_cxxflags} "
               "${trelba_debian_ldflags}")
