#include "toolkit/codec/JPEGErrorTrap.h"

namespace {

[[noreturn]] void JPEGErrorTrapExit(j_common_ptr cinfo)
{
    // The manager is the trap's first member, so the two share an address.
    auto* trap = reinterpret_cast<JPEGErrorTrap*>(cinfo->err);
    if (trap->printsMessage)
        (*cinfo->err->output_message)(cinfo);
    std::longjmp(trap->jump, 1);
}

} // namespace

jpeg_error_mgr* InstallJPEGErrorTrap(JPEGErrorTrap& trap, bool printsMessage)
{
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JPEGErrorTrapExit;
    trap.printsMessage = printsMessage;
    return &trap.manager;
}
