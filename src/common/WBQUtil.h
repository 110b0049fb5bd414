#pragma once

// The shared utility functions in one include: file names, system and text utilities, file and data
// utilities. Each family also has its own header.
#include "common/ApplicationSupportFolder.h"
#include "common/ByteCountFormat.h"
#include "common/FileReplacement.h"
#include "common/FileSizes.h"
#include "common/FinderCompare.h"
#include "common/RedrawPDFDocument.h"
#include "common/StringConversions.h"
#include "common/SystemVersion.h"
#include "common/TemporaryFileNames.h"
#include "common/UniqueFileNames.h"
#include "common/UserDefaults.h"
#include "common/UserNotification.h"
#include "common/WholeFileIO.h"
