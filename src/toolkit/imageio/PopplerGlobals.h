#pragma once

// Poppler's core reads its global settings while it opens and draws documents: they are made once, on
// first use, unless another part of the process made them before.
void EnsurePopplerGlobals();
