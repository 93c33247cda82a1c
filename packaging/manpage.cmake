# Writes the erpsync-cli man page from the program's own --help texts: the overview, then every verb
# (and every verb under a verb group such as "testbed") with its options.
#   cmake -DCLI=path/to/erpsync-cli -DOUT=erpsync-cli.1 -DVERSION=x.y -P manpage.cmake
function(help_text out)
  execute_process(COMMAND ${CLI} ${ARGN} --help OUTPUT_VARIABLE text ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} --help failed: ${err}")
  endif()
  # CLI11 names the program by the path it was started with.
  string(REPLACE "${CLI}" "erpsync-cli" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The names listed under "Subcommands:" in a help text.
function(subcommands text out)
  set(names)
  set(in FALSE)
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[A-Za-z].*:$")
      set(in FALSE)
      if(line STREQUAL "Subcommands:" OR line STREQUAL "SUBCOMMANDS:")
        set(in TRUE)
      endif()
    elseif(in AND line MATCHES "^  ([a-z][a-z0-9-]*)")
      list(APPEND names ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Help text as a roff block shown as written.
function(roff_block text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

help_text(top)
subcommands("${top}" verbs)
string(TIMESTAMP today "%Y-%m-%d" UTC)
set(page ".TH ERPSYNC-CLI 1 \"${today}\" \"erpsync ${VERSION}\" \"erpsync\"\n")
string(APPEND page ".SH NAME\nerpsync-cli \\- branch synchroniser of the ERP, headless\n")
string(APPEND page ".SH SYNOPSIS\n.B erpsync-cli\n.I verb\n[\\fIoptions\\fR]\n")
string(APPEND page ".SH DESCRIPTION\nEvery button of the erpsync window is a verb of erpsync-cli: the verb loads the "
                   "settings of the program folder, connects to the branch and head-office databases as the window "
                   "does, then runs the same operation. Questions are answered No unless \\fB--yes\\fR is given. "
                   "Exit status: 0 success, 1 an operation reported an error, 2 bad usage or missing settings.\n"
                   ".PP\nThe program folder holds \\fIResources/\\fR (Appsettings.ini, ServerName.ini ...) and the "
                   "daily logs. It is \\fB--home\\fR, else the ERPSYNC_HOME environment variable, else the "
                   "executable's folder.\n"
                   ".PP\nSIGTERM and SIGINT (Ctrl-C) stop a running verb between units: the voucher in hand is "
                   "finished or rolled back, the push lock is released and the daily log says why the program "
                   "ended. A second signal ends it at once.\n")
roff_block("${top}" block)
string(APPEND page ".SH OVERVIEW\n${block}.SH VERBS\n")
foreach(verb IN LISTS verbs)
  help_text(text ${verb})
  roff_block("${text}" block)
  string(APPEND page ".SS ${verb}\n${block}")
  subcommands("${text}" subs)
  foreach(sub IN LISTS subs)
    help_text(subtext ${verb} ${sub})
    roff_block("${subtext}" block)
    string(APPEND page ".SS \"${verb} ${sub}\"\n${block}")
  endforeach()
endforeach()
string(APPEND page ".SH FILES\n.TP\n.I /usr/lib/systemd/system/erpsync.service\nthe runner as a long-running service "
                   "(program folder /var/lib/erpsync)\n.TP\n.I /usr/lib/systemd/system/erpsync-pass.timer\none pass every "
                   "two minutes instead\n.SH SEE ALSO\n/usr/share/doc/erpsync/README.md\n")
file(WRITE ${OUT} "${page}")
