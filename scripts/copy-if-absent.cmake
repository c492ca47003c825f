# cmake -DSRC=... -DDST=... -P copy-if-absent.cmake : copies SRC to DST only when DST does not exist.
if(NOT EXISTS "${DST}")
    file(COPY_FILE "${SRC}" "${DST}")
endif()
