# Compiles one CHM fixture: copies the project folder aside (chmcmd writes beside its project)
# and runs chmcmd there. Called by tomefold_add_chm_fixture.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCE}/ DESTINATION ${WORK})
execute_process(COMMAND ${CHMCMD} --verbosity 0 ${PROJECT_FILE}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result
  OUTPUT_FILE ${WORK}.log ERROR_FILE ${WORK}.log)
if(NOT EXISTS ${WORK}/${NAME}.chm)
  file(READ ${WORK}.log log)
  message(FATAL_ERROR "chmcmd made no ${NAME}.chm (exit ${result}):\n${log}")
endif()
file(COPY_FILE ${WORK}/${NAME}.chm ${OUTPUT})
