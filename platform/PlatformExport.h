#pragma once
// Symbols of libzentrope-platform.so that the program and the modules call.
#define ZP_EXPORT __attribute__((visibility("default")))
#ifdef __cplusplus
#define ZP_EXTERN_C extern "C"
#else
#define ZP_EXTERN_C
#endif
#define ZP_API ZP_EXTERN_C ZP_EXPORT
