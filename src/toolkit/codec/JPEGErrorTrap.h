#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg's standard error manager calls exit() on a fatal error. The trap replaces that exit with a jump
// back to the setjmp of the calling glue function, which then releases the library state and reports
// failure. Warnings keep the library's standard handling.
//
// The jump crosses only libjpeg's C frames and the glue's own helpers, which therefore hold no objects with
// destructors while they call into the library.
struct JPEGErrorTrap {
    jpeg_error_mgr manager{}; // first: libjpeg hands back a pointer to it
    std::jmp_buf jump{};
    bool printsMessage = false; // the library's message goes to standard error before the jump
};

// Sets up the standard manager with the trap's error exit and returns it for cinfo->err.
jpeg_error_mgr* InstallJPEGErrorTrap(JPEGErrorTrap& trap, bool printsMessage);
