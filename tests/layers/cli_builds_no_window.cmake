# The headless runner drives the same engine calls as the window (load, connect, the pass, every
# operation) and prints what they return: it builds no window model and no window controller. The
# compiler would let it (the runner links the controller for its console host and the shared grid
# layout), so this script reads its sources instead. Run with -DCLI=<cli>.
cmake_minimum_required(VERSION 3.20)
file(GLOB sources ${CLI}/*.cpp ${CLI}/*.h)
set(found)
foreach(src ${sources})
  file(STRINGS ${src} lines REGEX
       "(#[ \t]*include[ \t]*[\"<](form/main_form|app/frm_synch|app/window_context|app/form_binding)\\.h)|MainForm|FrmSynch|WindowContext|bindForm")
  foreach(line ${lines})
    list(APPEND found "${src}: ${line}")
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "The headless runner builds a window:\n  ${text}")
endif()
