// Fuzzes the PostScript calculator through a type 4 PDF function: the first byte chooses the number
// of inputs and outputs, the rest is the program text. Every text must parse or be rejected, and
// every evaluation end, without a crash, a hang or undefined behaviour.
#include "toolkit/pdf/PDFFunction.h"

#include <Object.h>
#include <Array.h>
#include <Dict.h>
#include <Stream.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

Object UnitPairs(int count)
{
    auto* array = new Array(static_cast<XRef*>(nullptr));
    for (int i = 0; i < count; ++i) {
        array->add(Object(0.0));
        array->add(Object(1.0));
    }
    return Object(array);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int inputs = 1 + (data[0] & 3);
    const int outputs = 1 + ((data[0] >> 2) & 3);
    std::vector<char> text(data + 1, data + size);
    auto* dict = new Dict(static_cast<XRef*>(nullptr));
    dict->add("FunctionType", Object(4));
    dict->add("Domain", UnitPairs(inputs));
    dict->add("Range", UnitPairs(outputs));
    MemStream stream(text.data(), 0, static_cast<Goffset>(text.size()), Object(dict));
    PDFFunction function;
    function.LoadFromStream(stream);
    function.BuildCalculatorProgram();
    const double samples[] = {0.0, 0.25, 0.5, 1.0, -1.0, 2.0};
    std::vector<double> in(static_cast<size_t>(inputs));
    for (double sample : samples) {
        for (int i = 0; i < inputs; ++i)
            in[static_cast<size_t>(i)] = sample * (i + 1) / inputs;
        function.Evaluate(in.data(), inputs);
    }
    return 0;
}
