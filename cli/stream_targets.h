// Two places for the save's files besides folders and archives: standard
// output, where the files' bytes follow one another (as tar -O gives them),
// and nowhere, for a dry run that names what a save would write.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "save/save_target.h"

namespace tallowin::cli {

std::unique_ptr<SaveTarget> MakeStandardOutputTarget();

// Names files as a save into `folder` would (a name already taken there is
// numbered as the save numbers it), or as an archive would without one.
std::unique_ptr<SaveTarget> MakeDryRunTarget(const std::optional<std::filesystem::path>& folder);

}  // namespace tallowin::cli
