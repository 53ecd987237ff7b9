# When the Windows programs are cross-built on Linux, the tests run them under Wine:
# every test program (and the test discovery after each build) goes through
# <build>/wine-env, which gives Wine a prefix inside the build tree and the Japanese
# locale. Set CMAKE_CROSSCOMPILING_EMULATOR yourself to run them some other way.
if(NOT (CMAKE_CROSSCOMPILING AND WIN32 AND CMAKE_HOST_UNIX) OR CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()

find_program(VELKORA_WINE wine)
if(NOT VELKORA_WINE)
  message(WARNING "Wine was not found: the Windows tests cannot run here (scripts/setup installs it).")
  return()
endif()
set(VELKORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-env.in ${CMAKE_BINARY_DIR}/wine-env @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-env ${VELKORA_WINE})
