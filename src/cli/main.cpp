// vuzuduzi-render: the batch tool. Makes the program's pictures and tune
// without the window, for scripts and tests.
#include <iostream>
#include <string>
#include <vector>

#include "cli/render_tool.h"
#include "cli/termination_signals.h"

int main(int argc, char** argv) {
    const int status = vz::render_tool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    // An interrupted command has removed what it was writing; now the tool
    // dies by the signal, as the parent expects. A signal that came too late
    // to stop the command (its file is complete) ends it the same way, so
    // that a shell loop around it stops all the same.
    vz::die_by_received_signal();
    return status;
}
