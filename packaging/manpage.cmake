# Makes the manual page from the program's own help text, so the two cannot
# differ. cmake -DHELP=<help.txt> -DVERSION=<v> -DOUT=<covrel.1> -P manpage.cmake
file(READ ${HELP} help)
# The first line names the program by the path it was started with.
string(REGEX REPLACE "^Usage:[^\n]*\n" "" help "${help}")
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUT} ".TH COVREL 1 \"\" \"covrel ${VERSION}\" \"User Commands\"
.SH NAME
covrel \\- desktop shell for a local HTML application
.SH SYNOPSIS
.B covrel
[\\fIoptions\\fR]
.SH DESCRIPTION
.nf
${help}.fi
.SH FILES
.TP
.I /opt/covrel
the program with its content, translations and integrations
.TP
.I $XDG_DATA_HOME/covrel/store
the store of an installed copy (by default ~/.local/share/covrel/store)
")
