// The whole of duzuroro-cli behind its entry point: main (and a Windows entry that converts
// its arguments to UTF-8 first) calls this with the command line, and returns its status:
// 0 done, 1 failed, 2 usage error.
#pragma once

int RunTool(int argc, char** argv);
