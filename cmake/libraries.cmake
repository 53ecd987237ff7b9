# The libraries that read the browsers' own bookmark stores and the target's record:
# RapidJSON (headers only) for Chromium's Bookmarks and Local State files and for the
# record, and SQLite for Firefox's places and the browsers' icon databases. They are
# velkora_json and velkora_sqlite.
#
# Natively all come from Debian's -dev packages. The Windows build takes the same JSON
# headers, and compiles SQLite from Debian's source package of the version the native
# build links (scripts/fetch-sqlite-source puts it in build/sources/sqlite3): its
# amalgamation is generated in the build tree with tclsh and linked statically.

add_library(velkora_json INTERFACE)
add_library(velkora_sqlite INTERFACE)
# Every x86-64 processor has SSE2: RapidJSON's writer then copies the runs of a string that
# need no escape 16 bytes at a time.
target_compile_definitions(velkora_json INTERFACE RAPIDJSON_SSE2)

if(NOT WIN32)
  find_package(RapidJSON 1.1 REQUIRED)
  find_package(SQLite3 REQUIRED)
  target_include_directories(velkora_json SYSTEM INTERFACE ${RAPIDJSON_INCLUDE_DIRS})
  target_link_libraries(velkora_sqlite INTERFACE SQLite::SQLite3)
  return()
endif()

# The cross build searches the MinGW-w64 tree only: the JSON headers are reached through a
# folder of their own in the build tree, which holds nothing but them.
set(VELKORA_JSON_INCLUDE_DIR /usr/include CACHE PATH "The folder that holds rapidjson/reader.h")
if(NOT EXISTS ${VELKORA_JSON_INCLUDE_DIR}/rapidjson/reader.h)
  message(FATAL_ERROR "rapidjson/reader.h is not in ${VELKORA_JSON_INCLUDE_DIR}: "
                      "scripts/setup installs rapidjson-dev")
endif()
set(json_headers ${CMAKE_BINARY_DIR}/json-headers)
file(MAKE_DIRECTORY ${json_headers})
file(CREATE_LINK ${VELKORA_JSON_INCLUDE_DIR}/rapidjson ${json_headers}/rapidjson SYMBOLIC)
target_include_directories(velkora_json SYSTEM INTERFACE ${json_headers})

set(VELKORA_SQLITE_SOURCE_DIR ${PROJECT_SOURCE_DIR}/build/sources/sqlite3/source CACHE PATH
    "Debian's SQLite source package, unpacked")
if(NOT EXISTS ${VELKORA_SQLITE_SOURCE_DIR}/configure)
  message(FATAL_ERROR "No SQLite source in ${VELKORA_SQLITE_SOURCE_DIR}: "
                      "scripts/fetch-sqlite-source (run by scripts/setup) fetches it")
endif()
enable_language(C)
# The amalgamation is text made by the source's own tools, which run on the build host.
set(amalgamation ${CMAKE_BINARY_DIR}/sqlite3)
add_custom_command(
  OUTPUT ${amalgamation}/sqlite3.c ${amalgamation}/sqlite3.h
  COMMAND sh -c "env -u CC -u CFLAGS '${VELKORA_SQLITE_SOURCE_DIR}/configure' --quiet \
                 --disable-tcl --disable-readline >configure.log && make -s sqlite3.c >make.log"
  WORKING_DIRECTORY ${amalgamation}
  DEPENDS ${VELKORA_SQLITE_SOURCE_DIR}/VERSION ${VELKORA_SQLITE_SOURCE_DIR}/manifest
  COMMENT "Generating SQLite's amalgamation from Debian's source package"
  VERBATIM)
file(MAKE_DIRECTORY ${amalgamation})
add_library(velkora_sqlite_library STATIC ${amalgamation}/sqlite3.c)
# Only what reading a database needs: one thread at a time (a source counted on the run's
# thread is read on a thread of its own, never both at once), no extensions loaded, no
# statistics of memory kept.
target_compile_definitions(velkora_sqlite_library PRIVATE
  SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_DQS=0)
# Not our code: its warnings are not ours to mend.
target_compile_options(velkora_sqlite_library PRIVATE -w)
target_include_directories(velkora_sqlite_library SYSTEM INTERFACE ${amalgamation})
target_link_libraries(velkora_sqlite INTERFACE velkora_sqlite_library)
