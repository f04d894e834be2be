# Run by cpack on its staging folder: strips the programs as Debian does,
# dropping the compiler's .comment and .note sections along with the symbols.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program IN LISTS programs)
  execute_process(
    COMMAND strip --remove-section=.comment --remove-section=.note --strip-unneeded "${program}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
if(NOT programs)
  message(FATAL_ERROR "no programs in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
