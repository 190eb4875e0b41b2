// duzuroro-cli: lists, exports and renders the costumes of SCUMM-engine games.
#include "frontends/cli/run_tool.h"

int main(int argc, char** argv) {
    return RunTool(argc, argv);
}
