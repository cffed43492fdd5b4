#pragma once

#include <string>
#include <vector>

namespace startgarten {

// A drive chosen lately, as the box before the window offers it again.
struct RecentDriveChoice {
  std::string path;   // the host path, as chosen
  bool gone = false;  // nothing is there any more
};

// The drives chosen in the box or named on the command line lately, the latest first.
std::vector<RecentDriveChoice> RecentDriveChoices();

// Records drive C, when it was chosen for this run, as the latest of them. Call when the window
// opens on it: a choice that led nowhere is not offered again.
void RememberChosenDriveC();

}  // namespace startgarten
