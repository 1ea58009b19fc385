# cmake -DPYTHON=... -DSCRIPT=makeicon.py -DICON=pagesift.ico -DOUT=redrawn.ico -P redrawicon.cmake
execute_process(COMMAND "${PYTHON}" "${SCRIPT}" "${OUT}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ICON}" "${OUT}" RESULT_VARIABLE differ)
if(differ)
    message(FATAL_ERROR "${ICON} differs from what ${SCRIPT} draws; run: python3 makeicon.py pagesift.ico")
endif()
