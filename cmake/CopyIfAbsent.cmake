# cmake -DSRC=... -DDST=... -P CopyIfAbsent.cmake
if(EXISTS "${SRC}" AND NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
