#pragma once
// Modal messages shown from layers without widgets (the bindings' fault
// guard). The program installs a handler that shows a message box; without
// one the text goes to standard error.
#include "platform/PlatformExport.h"

using MessageHandler = void (*)(const char* text, void* user);
ZP_API void SetMessageHandler(MessageHandler handler, void* user);
ZP_API void ShowMessage(const char* text);
