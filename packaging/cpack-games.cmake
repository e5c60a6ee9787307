# Run by CPack on the files it is about to package: the launcher goes from
# usr/bin to usr/games, where Debian keeps the programs of a games package.
# (cmake --install keeps it in bin/, which is on the player's PATH.)
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(EXISTS "${root}/bin/quibbleton")
  file(MAKE_DIRECTORY "${root}/games")
  file(RENAME "${root}/bin/quibbleton" "${root}/games/quibbleton")
  file(GLOB left "${root}/bin/*")
  if(NOT left)
    file(REMOVE_RECURSE "${root}/bin")
  endif()
endif()
