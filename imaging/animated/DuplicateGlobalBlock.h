#pragma once
#include "platform/WinTypes.h"

// A new movable, zero-filled block with a copy of the source's bytes; 0 for
// a zero handle or when memory runs out. Every picture copy goes through it,
// so no two records ever share a block.
HGLOBAL DuplicateGlobalBlock(HGLOBAL source);
