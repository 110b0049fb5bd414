#include "chm/ReaderExport.h"

#include "chm/ReaderExportProgressSheet.h"

ReaderExport::ReaderExport() = default;

ReaderExport::~ReaderExport()
{
    if (starter.joinable())
        starter.join();
    exporter.reset();
    delete sheet.data();
}
