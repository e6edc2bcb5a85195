// Where the program and its data live. Every returned folder exists (missing levels are
// created) and ends with '/'.
#pragma once

#include <string>

namespace vz::folders {

// The user's documents folder (XDG documents directory). VZ_DOCUMENTS_DIR in the
// environment overrides it, so tests and the demo never touch a real user's files.
std::string Documents();

// The folder of the executable while running from the build tree; <prefix>/share/vizirado-driver
// when installed. VZ_PROGRAM_DIR overrides it (tests).
std::string Program();

// The per-user configuration folder (XDG config home); VZ_CONFIG_DIR overrides it.
std::string Config();

// The per-session runtime folder (XDG runtime dir, else a private folder under /tmp).
std::string Runtime();

}  // namespace vz::folders
