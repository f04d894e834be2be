// The settings file as the window reads it at start-up: any bytes as the
// INI file, then every value the window reads, through the same lenient
// number reading, and the instrument counters through the tune composer
// (which writes them back advanced). Garbage must read as some value or as
// missing, never crash, and the counters written back must read again as
// whole numbers of their cycles.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/qt_settings_store.h"
#include "music/tune_composer.h"
#include "run/run_values.h"

namespace {

namespace fs = std::filesystem;

// Under /dev/shm where there is one: the store syncs the file to disk on
// every write, which a memory file system does at once.
const fs::path& fuzz_home() {
    // Kept to the very end for the removal at exit.
    static const fs::path* home = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "vz-fuzz-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fuzz_home(), ignored);
        });
        return new fs::path(pattern);
    }();
    return *home;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh folder each time: QSettings keeps files it has read in a cache
    // that a rewrite within the same millisecond would not refresh.
    static unsigned long run = 0;
    const fs::path home = fuzz_home() / std::to_string(run++);
    fs::create_directories(home / "vazedoza");
    std::ofstream(home / "vazedoza" / "vazedoza.conf", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    {
        vz::QtSettingsStore store;
        for (const char* key : {"mob", "fon", "lef", "top"}) (void)vz::leading_number(store.read("tem", key, "0"));
        (void)vz::leading_number(store.read("met", "ope", "1"));
        (void)store.read("tem", "put", "");
        (void)vz::validate_run_numbers(store.read("tem", "col", "10"), store.read("tem", "px", "323"));
        const vz::ComposedTune tune = vz::compose_tune(store);
        if (tune.counters.sol > 255 || tune.counters.fon > 255 || tune.counters.bas > 255) std::abort();
        // What was written back reads as the next counter, within its cycle.
        const vz::InstrumentCounters next = vz::advance_counters(tune.counters);
        const unsigned written[] = {next.sol, next.fon, next.bas};
        const char* keys[] = {vz::kSoloCounterKey, vz::kBackgroundCounterKey, vz::kBassCounterKey};
        for (int i = 0; i < 3; ++i) {
            if (store.read(vz::kCounterSection, keys[i], "") != std::to_string(written[i])) std::abort();
        }
    }
    fs::remove_all(home);
    return 0;
}
