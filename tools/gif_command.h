// `vuzuduzi-render gif`: one generation run from the command line, through
// the same run code as the window's Start button.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vz {

// `args` are the arguments after "gif". Returns the exit status: 0 done,
// 1 write failure, 2 bad input or existing file, 128 + signal when stopped.
int gif_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vz
