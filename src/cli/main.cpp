// vuzuduzi-render: the batch tool. Makes the program's pictures and tune
// without the window, for scripts and tests.
#include <iostream>
#include <string>
#include <vector>

#include "cli/render_tool.h"

int main(int argc, char** argv) {
    return vz::render_tool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
