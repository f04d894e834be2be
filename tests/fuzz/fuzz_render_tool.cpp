// The batch tool's command line: any argument list, NUL-separated. The
// commands stop once their arguments are checked, so nothing is written and
// no picture or tune is rendered. Whatever the options accept, the run must
// accept too (status 1 would mean the run refused a request the options let
// through).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/render_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    std::ostringstream out, err;
    const int status = vz::render_tool(args, out, err, {}, true);
    if (status != vz::kExitDone && status != vz::kExitBadInput) std::abort();
    // Bad input is always explained on one line, and nothing else is said.
    if (status == vz::kExitBadInput && (err.str().empty() || !out.str().empty())) std::abort();
    return 0;
}
