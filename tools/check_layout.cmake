# Checks the folder boundaries that the build alone cannot see:
# - the engine (xls/) includes no header of another project folder;
# - outside the engine and its own tests, nothing includes the engine's inside;
# - no system header of POSIX or Windows outside platform/ and the Windows
#   window ui/win32/ (tests and benchmarks may drive processes themselves);
# - Qt only in the Qt window, ui/qt/ (tests, benchmarks and the icon drawing
#   of packaging/ aside), and no window's header outside its window: the
#   program and everything under it build without a window toolkit; neither
#   window includes the other's files;
# - SQLite only in the ledger (ledger/, its tests and benchmarks), and
#   nothing of the ledger in the engine or the core (calc/, tally/,
#   editing/).
#   cmake -DROOT=<source folder> -P tools/check_layout.cmake
set(project_folders "calc|tally|editing|workbook|ledger|platform|program|ui|app|tests|bench|tools|packaging")
set(engine_inside "cfb|biff|book|bytes|formula|xls/src")
set(system_headers "unistd\\.h|fcntl\\.h|sys/[a-z]+\\.h|windows\\.h|windowsx\\.h|commctrl\\.h|shellapi\\.h|shlobj\\.h|objbase\\.h|knownfolders\\.h|io\\.h|spawn\\.h|signal\\.h|dirent\\.h|pwd\\.h")

# Only the project's folders: build folders may hold a Wine prefix, whose
# drive links lead to the whole file system.
cmake_policy(SET CMP0009 NEW)
set(sources "")
string(REPLACE "|" ";" folders "${project_folders}|xls")
foreach(folder ${folders})
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  list(APPEND sources ${found})
endforeach()
set(faults "")
foreach(f ${sources})
  file(STRINGS ${ROOT}/${f} includes REGEX "^#include ")
  foreach(line ${includes})
    if(f MATCHES "^xls/" AND line MATCHES "#include \"(${project_folders})/")
      list(APPEND faults "${f}: the engine includes a project header: ${line}")
    endif()
    if(NOT f MATCHES "^(xls|tests/xls)/" AND line MATCHES "#include \"(${engine_inside})/")
      list(APPEND faults "${f}: includes the engine's inside: ${line}")
    endif()
    if(NOT f MATCHES "^(platform|tests|bench|ui/win32)/" AND line MATCHES "#include <(${system_headers})>")
      list(APPEND faults "${f}: a system call outside platform/: ${line}")
    endif()
    if(NOT f MATCHES "^(ui/qt|tests|bench|packaging)/" AND line MATCHES "#include <Q[A-Za-z]*>")
      list(APPEND faults "${f}: Qt outside the Qt window: ${line}")
    endif()
    if(NOT f MATCHES "^(ui|tests|bench|packaging)/" AND line MATCHES "#include \"ui/")
      list(APPEND faults "${f}: a window's header outside the windows: ${line}")
    endif()
    if(NOT f MATCHES "^(ledger|tests|bench)/" AND line MATCHES "#include <sqlite3\\.h>")
      list(APPEND faults "${f}: SQLite outside the ledger: ${line}")
    endif()
    if(f MATCHES "^(xls|calc|tally|editing)/" AND line MATCHES "#include \"ledger/")
      list(APPEND faults "${f}: the engine or the core knows of the ledger: ${line}")
    endif()
    if(f MATCHES "^ui/win32/" AND line MATCHES "#include \"ui/qt/")
      list(APPEND faults "${f}: the Qt window's header in the Windows window: ${line}")
    endif()
    if(f MATCHES "^ui/qt/" AND line MATCHES "#include \"ui/win32/")
      list(APPEND faults "${f}: the Windows window's header in the Qt window: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
