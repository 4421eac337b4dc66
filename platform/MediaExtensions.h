#pragma once
// Which file types go to the media device: those with an entry in the
// "mci extensions" section of the Windows profile (win.ini). The program
// seeds that section once with the video types FFmpeg plays here; a user
// may remove an entry to keep a type out of the player.
#include "platform/PlatformExport.h"

#include <string>
#include <vector>

namespace zp {

// The extensions (upper case, no dot) that the seeding writes.
ZP_EXPORT const std::vector<std::string>& PlayableVideoExtensions();
// Writes the entries when the section names none of them; a section the
// user has already edited is left as it is.
ZP_EXPORT void SeedMediaExtensions();
// The extension (with or without its dot, any case) has an entry whose
// value is not "none" (the profile read with a 26-character buffer).
ZP_EXPORT bool IsMciExtension(std::string extension);

} // namespace zp
