#pragma once

#include "common/ConversionProgressDelegate.h"

// Who hears of a conversion's progress: the object, and the message it is sent with a number
// (the conversion toolkit's progress convention). The batch application leaves the message empty.
struct ProgressCallbackInfo {
    using Selector = void (ConversionProgressDelegate::*)(long value);

    ConversionProgressDelegate* object = nullptr;
    Selector selector = nullptr;
};
