# Writes the manual page of nrv508-cli from the program's own --help texts, so the page and
# the help never disagree and a new command appears in both.
#   cmake -DCLI=path/to/nrv508-cli -DOUT=nrv508-cli.1 -DVERSION=2.42 -P manpage.cmake

function(help_of out)
    execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE text)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${ARGN} failed (${status})")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text as it stands, in roff: backslashes and hyphens escaped, no line taken for a request.
function(as_roff out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(overview --help)
string(REGEX MATCHALL "\n  nrv508-cli [a-z0-9-]+" listed "${overview}")
set(commands "")
foreach(line IN LISTS listed)
    string(REGEX REPLACE "^\n  nrv508-cli " "" name "${line}")
    list(APPEND commands ${name})
endforeach()

set(page ".TH NRV508\\-CLI 1 \"\" \"nrv508 ${VERSION}\" \"User Commands\"
.SH NAME
nrv508\\-cli \\- the NRV508 analyser's companion program without a window
.SH SYNOPSIS
.B nrv508\\-cli
.I COMMAND
.RI [ ARGS ...]
.br
.B nrv508\\-cli
.I COMMAND
.B \\-\\-help
.SH DESCRIPTION
.B nrv508\\-cli
runs the core of the desktop program
.BR nrv508 :
the same reception of the instrument's answers, transfer, data\\-file writer and reader and
chart series as its windows, for scripts and for converting captures.
Data files are written exactly as the program saves them (quoted values, CR LF); every other
output line ends with LF.
.SH COMMANDS
")
foreach(name IN LISTS commands)
    help_of(text ${name} --help)
    as_roff(text "${text}")
    string(APPEND page ".SS ${name}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH EXIT STATUS
0 success; 1 a failure, with one line on stderr naming the file or device and the reason;
2 a usage error, with the usage on stderr.
Every message box that a run raises is written to stderr as one line
.IR TITLE : \\ TEXT .
.SH ENVIRONMENT
.TP
.BI NRV508_COM n
The device behind COM\\fIn\\fR (1 to 6), for example
.I /dev/ttyUSB0
for a USB adapter or the emulator's line. Without it, COM1 to COM6 are
.I /dev/ttyS0
to
.IR /dev/ttyS5 .
.SH SEE ALSO
The desktop program is
.BR nrv508 ;
the analyser emulator that stands in for an instrument is
.B nrv508\\-emu
(its
.B \\-\\-help
tells how to use it).
")
file(WRITE "${OUT}" "${page}")
# Installed compressed, as manual pages are.
file(ARCHIVE_CREATE OUTPUT "${OUT}.gz" PATHS "${OUT}" FORMAT raw COMPRESSION GZip)
