#pragma once
// Profile (INI) files with GetPrivateProfileString semantics. A bare file
// name lives in the settings folder; "the Windows profile" is win.ini there.
#include "platform/PlatformExport.h"
#include <cstdint>

// $ZENTROPE_HOME if set, else $XDG_CONFIG_HOME/zentrope (~/.config/zentrope).
// Created on first use.
ZP_API const char* SettingsFolder();
// Copies the value (or the default) into the buffer, cut to size - 1, and
// answers the length copied. Section and key compare without case.
ZP_API int32_t GetPrivateProfileString(const char* section, const char* key,
                                       const char* defaultValue, char* buffer, int32_t size,
                                       const char* file);
// Writes or replaces a key; a null value removes the key, a null key the
// section. Answers 1 on success. Written through a temporary file.
ZP_API int32_t WritePrivateProfileString(const char* section, const char* key, const char* value,
                                         const char* file);
ZP_API int32_t GetProfileString(const char* section, const char* key, const char* defaultValue,
                                char* buffer, int32_t size);
ZP_API int32_t WriteProfileString(const char* section, const char* key, const char* value);
