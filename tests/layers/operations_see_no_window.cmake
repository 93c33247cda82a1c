# Operations work for a working day and tell a status sink; the window's controls are the controller's.
# The form model is a layer below the operations (the shared context binds it), so the compiler lets an
# operation include it: this script does not. Run with -DOPERATIONS=<src/operations>.
cmake_minimum_required(VERSION 3.20)
file(GLOB_RECURSE sources ${OPERATIONS}/*.cpp ${OPERATIONS}/*.h)
set(found)
foreach(src ${sources})
  file(STRINGS ${src} lines REGEX "(#[ \t]*include[ \t]*[\"<]form/(main_form|controls|progress_form)\\.h)|ctx\\.form\\.|\\.form\\.")
  foreach(line ${lines})
    list(APPEND found "${src}: ${line}")
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "An operation reaches into the window:\n  ${text}")
endif()
