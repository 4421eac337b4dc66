#pragma once
#include <string>

// zentrope-gif frames FILE DIR: writes every composed frame as
// DIR/frame-NNNN.png (RGBA, numbered from 0000), creating DIR when missing.
// Nothing is written unless the whole file loads, and no PNG is ever left
// half written. Answers the exit status: 0, or 1 after printing the reason
// (the codec's text for a file it cannot read) to standard error.
int RunFrames(const std::string& file, const std::string& dir);
