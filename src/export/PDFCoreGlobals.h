#pragma once

// Makes the PDF core's process-wide settings on first use and keeps them for the life of the
// process; every use of the core's documents and output devices comes after a call to this.
void EnsurePDFCoreGlobalParams();
