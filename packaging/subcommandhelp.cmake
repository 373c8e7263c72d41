# Writes the help of each subcommand of corvane-cli and its exit statuses as sections
# for help2man's --include file, so that the manual page has all of it.
#   cmake -DCLI=<corvane-cli> -DOUTPUT=<file> -P subcommandhelp.cmake
set(text "[子命令]\n")
foreach(command process check merge)
  execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help
                  COMMAND_ERROR_IS_FATAL ANY)
  # Shown as printed; a backslash and a line that would be a request stay text.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
string(APPEND text "[退出状态]
.TP
0
完成。
.TP
1
数据有问题，未写出任何文件。
.TP
2
用法错误。
.TP
3
文件无法读取或写入，或其他失败。
")
file(WRITE ${OUTPUT} "${text}")
