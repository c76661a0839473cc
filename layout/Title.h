#pragma once

#include <string>

// The method and the stage: "Stedman Cinques", "Erin Triples".
std::string BuildTitle();
// The stage name of n bells, or n in decimal where the stage has no name.
std::string StageName(int n);
