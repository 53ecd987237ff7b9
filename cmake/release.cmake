# The release: velkora-<version>-win64.zip with velkora.exe, velkora-convert.exe and
# readme.txt (made from docs/readme-ja.txt), and its .sha256, written into
# VELKORA_DIST_DIR by the target release-zip. scripts/package builds it.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(VELKORA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the release zip is written")
set(VELKORA_RELEASE_ZIP ${VELKORA_DIST_DIR}/velkora-${PROJECT_VERSION}-win64.zip)
set(VELKORA_README_SOURCE ${PROJECT_SOURCE_DIR}/docs/readme-ja.txt)

add_custom_command(
  OUTPUT ${VELKORA_RELEASE_ZIP} ${VELKORA_RELEASE_ZIP}.sha256
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/release_zip.py
          --version ${PROJECT_VERSION} --readme ${VELKORA_README_SOURCE}
          --output ${VELKORA_RELEASE_ZIP}
          $<TARGET_FILE:velkora> $<TARGET_FILE:velkora-convert>
  DEPENDS velkora velkora-convert ${VELKORA_README_SOURCE} ${CMAKE_CURRENT_LIST_DIR}/release_zip.py
  VERBATIM)
add_custom_target(release-zip DEPENDS ${VELKORA_RELEASE_ZIP})
