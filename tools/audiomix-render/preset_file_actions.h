// --export-presets and --import-presets: the binary preset file (the one
// beside the library unless --preset-file names another) to and from TOML.
// Each runs alone: nothing is rendered.
#pragma once

#include <string>

namespace audiomix_render {

struct Options;

// The preset file the library reads: "audioeqset.eq" in the folder of the
// loaded libaudiomix.so. Empty when that cannot be found.
std::string library_preset_file();

// Runs the export or the import the options ask for. Returns the exit
// status; out and err receive the report and the messages.
int run_preset_exchange(const Options& o, std::string& out, std::string& err);

}  // namespace audiomix_render
