# SQLite for the Windows build, as the target SQLite::SQLite3 that
# find_package(SQLite3) gives elsewhere: the one-file form made by
# tools/windows/sqlite.sh from Debian's source package, built as a static
# library. It is SQLite's own code, so its warnings are not ours to mend:
# they are off for that one file.
set(LANQI_SQLITE_SOURCE "${CMAKE_BINARY_DIR}/sqlite-src" CACHE PATH
    "Folder with SQLite's sqlite3.c and sqlite3.h for the Windows build")
if(NOT EXISTS "${LANQI_SQLITE_SOURCE}/sqlite3.c")
  message(STATUS "Making SQLite's sqlite3.c from Debian's source package")
  execute_process(COMMAND sh ${PROJECT_SOURCE_DIR}/tools/windows/sqlite.sh ${LANQI_SQLITE_SOURCE}
                  RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "SQLite's source could not be made: run tools/install-deps.sh --windows")
  endif()
endif()
add_library(lanqi_sqlite STATIC ${LANQI_SQLITE_SOURCE}/sqlite3.c)
set_source_files_properties(${LANQI_SQLITE_SOURCE}/sqlite3.c PROPERTIES COMPILE_OPTIONS "-w")
target_include_directories(lanqi_sqlite SYSTEM PUBLIC ${LANQI_SQLITE_SOURCE})
# One thread uses a connection; no loadable extensions.
target_compile_definitions(lanqi_sqlite PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
                           SQLITE_DQS=0)
add_library(SQLite::SQLite3 ALIAS lanqi_sqlite)
