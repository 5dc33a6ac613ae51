// Command line of audiomix-host.
#pragma once

#include <string>
#include <vector>

namespace host {

struct Options {
    double seconds = 0;      // 0: until the control window closes or WM_QUIT
    std::string screenshot;  // BMP written after about 2 s of audio
    std::string wav;         // 16-bit PCM input; empty: the built-in music
    int frames = 1024;       // frames per buffer handed to audiomix_change
    bool help = false;
};

// Fills options from the arguments after the program name. Returns an empty
// string, or what is wrong with them.
std::string parse_options(const std::vector<std::string>& args, Options& options);

const char* usage();

}  // namespace host
