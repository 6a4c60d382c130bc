# Checks the folder boundaries that the build alone cannot see:
# - the engine (xls/) includes no header of another project folder;
# - outside the engine and its own tests, nothing includes the engine's inside;
# - no system header of POSIX or Windows outside platform/ (tests and
#   benchmarks may drive processes themselves).
#   cmake -DROOT=<source folder> -P tools/check_layout.cmake
set(project_folders "calc|tally|editing|workbook|platform|ui|app|tests|bench|tools")
set(engine_inside "cfb|biff|book|bytes|xls/src")
set(system_headers "unistd\\.h|fcntl\\.h|sys/[a-z]+\\.h|windows\\.h|shellapi\\.h|spawn\\.h|signal\\.h|dirent\\.h|pwd\\.h")

file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/*.cpp ${ROOT}/*.h)
set(faults "")
foreach(f ${sources})
  if(f MATCHES "^build")
    continue()
  endif()
  file(STRINGS ${ROOT}/${f} includes REGEX "^#include ")
  foreach(line ${includes})
    if(f MATCHES "^xls/" AND line MATCHES "#include \"(${project_folders})/")
      list(APPEND faults "${f}: the engine includes a project header: ${line}")
    endif()
    if(NOT f MATCHES "^(xls|tests/xls)/" AND line MATCHES "#include \"(${engine_inside})/")
      list(APPEND faults "${f}: includes the engine's inside: ${line}")
    endif()
    if(NOT f MATCHES "^(platform|tests|bench)/" AND line MATCHES "#include <(${system_headers})>")
      list(APPEND faults "${f}: a system call outside platform/: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
