# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged tree of the Debian package, before it is
# packed: the package is laid out as Debian lays out a game, which the plain install (under
# ~/.local, /usr/local or any prefix) need not be.
# - The programs go in /usr/games; from there ../share/brickrun is still their data, and
#   ../libexec/brickrun the solver the editor runs.
# - The manual pages are compressed with gzip -9n, as Debian's are.
# - /usr/share/doc/brickrun holds the changelog (compressed) and the copyright file.
# - The programs lose the .comment and .note sections the compiler leaves, as dh_strip does.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
if(NOT IS_DIRECTORY ${usr}/bin)
  message(FATAL_ERROR "no staged ${usr}/bin to make a Debian package of")
endif()

file(MAKE_DIRECTORY ${usr}/games)
file(GLOB programs ${usr}/bin/*)
foreach(program IN LISTS programs)
  get_filename_component(name ${program} NAME)
  file(RENAME ${program} ${usr}/games/${name})
  execute_process(COMMAND ${CPACK_BRICKRUN_STRIP} --remove-section=.comment --remove-section=.note
    ${usr}/games/${name} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(REMOVE_RECURSE ${usr}/bin)
# The solver the editor runs stays where the games find it, ../libexec/brickrun.
file(GLOB helpers ${usr}/libexec/brickrun/*)
foreach(helper IN LISTS helpers)
  execute_process(COMMAND ${CPACK_BRICKRUN_STRIP} --remove-section=.comment --remove-section=.note
    ${helper} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(GLOB pages ${usr}/share/man/man6/*.6)
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9n ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(doc ${usr}/share/doc/brickrun)
file(MAKE_DIRECTORY ${doc})
file(COPY ${CPACK_BRICKRUN_SOURCE}/docs/copyright DESTINATION ${doc})
file(COPY ${CPACK_BRICKRUN_SOURCE}/docs/changelog DESTINATION ${doc})
execute_process(COMMAND gzip -9n ${doc}/changelog COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${doc}/copyright ${doc}/changelog.gz PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
