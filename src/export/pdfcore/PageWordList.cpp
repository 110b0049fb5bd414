#include "export/pdfcore/PageWordList.h"

#include <TextOutputDev.h>

namespace PDFCore {

std::vector<LocatorWord> pageWords(TextOutputDev& device)
{
    std::vector<LocatorWord> words;
    const std::unique_ptr<TextWordList> list = device.makeWordList();
    if (!list)
        return words;
    const int count = list->getLength();
    words.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const TextWord* word = list->get(i);
        LocatorWord& out = words.emplace_back();
        const int length = word->getLength();
        out.chars.reserve(static_cast<std::size_t>(std::max(length, 0)));
        for (int c = 0; c < length; ++c)
            out.chars.push_back(*word->getChar(c));
        double xMax = 0.0;
        double yMax = 0.0;
        word->getBBox(&out.xMin, &out.yMin, &xMax, &yMax);
    }
    return words;
}

} // namespace PDFCore
