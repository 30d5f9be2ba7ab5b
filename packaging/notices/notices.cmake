# Writes an artifact's notices (parts.cmake) outside a build:
#   cmake -DARTIFACT=<windows|web> -DOUTPUT=<file> [-DCRLF=ON] -P notices.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/parts.cmake)
brannoway_write_notices(${ARTIFACT} ${OUTPUT} "${CRLF}")
